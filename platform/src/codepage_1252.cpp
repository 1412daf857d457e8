// Windows-1252, with the part of Windows' best-fit table for it that the
// stand-in carries (fullwidth ASCII, U+2212 and Latin Extended-A).
#include "codepage.h"

namespace {

// Windows-1252's 0x80..0x9F; the five unassigned bytes map to the C1
// controls of the same value, as Windows maps them.
constexpr WCHAR kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Best fit for U+0100..U+017F as Windows' table has it; ' ' where it has none.
constexpr char kLatinExtendedA[] =
    "AaAaAaCcCcCcCcDd"
    "\xD0"
    "dEeEeEeEeEeGgGg"
    "GgGgHhHhIiIiIiIi"
    "Ii  JjKk LlLlLl "
    " LlNnNnNn   OoOo"
    "Oo\x8C\x9CRrRrRrSsSsSs"
    "\x8A\x9ATtTtTtUuUuUuUu"
    "UuUuWwYy\x9FZzZz\x8E\x9E ";
static_assert(sizeof kLatinExtendedA == 0x80 + 1, "one byte for each of U+0100..U+017F");

// The Windows-1252 byte of a unit, or -1 when the code page lacks it.
int Exact(unsigned long unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<int>(unit);
    for (int i = 0; i < 32; ++i) {
        if (static_cast<unsigned long>(kHighControls[i]) == unit) return 0x80 + i;
    }
    return -1;
}

int LookAlike(unsigned long unit) {
    if (unit >= 0xFF01 && unit <= 0xFF5E) return static_cast<int>(unit - 0xFF01 + 0x21);
    if (unit == 0x2212) return '-';
    if (unit >= 0x100 && unit <= 0x17F) {
        const char c = kLatinExtendedA[unit - 0x100];
        return c == ' ' ? -1 : static_cast<unsigned char>(c);
    }
    return -1;
}

class Windows1252 : public ByteCodePage {
public:
    bool IsLeadByte(unsigned char) const override { return false; }

    WCHAR Decode(unsigned char byte, int, bool& valid) const override {
        valid = true;
        return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte;
    }

    int Encode(WCHAR unit, unsigned char bytes[2]) const override {
        return Written(Exact(unit), bytes);
    }

    int BestFit(WCHAR unit, unsigned char bytes[2]) const override {
        return Written(LookAlike(unit), bytes);
    }

private:
    static int Written(int byte, unsigned char bytes[2]) {
        if (byte < 0) return 0;
        bytes[0] = static_cast<unsigned char>(byte);
        return 1;
    }
};

}  // namespace

const ByteCodePage& CodePage1252() {
    static const Windows1252 page;
    return page;
}
