// Code page 932, Shift-JIS as Windows has it. glibc's CP932 converter
// supplies the double-byte characters; the tables are built from it once.
#include "codepage.h"

#include <iconv.h>

#include <cstdint>
#include <vector>

namespace {

// What a sequence the code page does not assign becomes.
constexpr WCHAR kUnicodeDefault = 0x30FB;

bool IsLead(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Where two sequences name one character Windows writes the first, except
// that NEC's selection of IBM's characters (0xED, 0xEE) yields to IBM's own.
std::vector<unsigned char> LeadsByPreference() {
    std::vector<unsigned char> leads;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (IsLead(static_cast<unsigned char>(lead)) && lead != 0xED && lead != 0xEE) {
            leads.push_back(static_cast<unsigned char>(lead));
        }
    }
    leads.push_back(0xED);
    leads.push_back(0xEE);
    return leads;
}

// The UTF-16 unit of one double-byte sequence, 0 where there is none.
WCHAR DecodePair(iconv_t converter, unsigned char lead, unsigned char trail) {
    char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    unsigned char out[4];
    char* inCursor = in;
    char* outCursor = reinterpret_cast<char*>(out);
    size_t inLeft = sizeof in, outLeft = sizeof out;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &inCursor, &inLeft, &outCursor, &outLeft) == static_cast<size_t>(-1) ||
        inLeft != 0 || outLeft != 2) {
        return 0;
    }
    return static_cast<WCHAR>(out[0] | (out[1] << 8));
}

class ShiftJis : public ByteCodePage {
public:
    ShiftJis() : toUnicode_(0x10000, 0), fromUnicode_(0x10000, 0) {
        const iconv_t converter = iconv_open("UTF-16LE", "CP932");
        if (converter == reinterpret_cast<iconv_t>(-1)) return;
        for (unsigned char lead : LeadsByPreference()) {
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F) continue;
                const unsigned code = (lead << 8) | static_cast<unsigned>(trail);
                const WCHAR unit = DecodePair(converter, lead, static_cast<unsigned char>(trail));
                toUnicode_[code] = unit;
                if (unit != 0 && fromUnicode_[unit] == 0) fromUnicode_[unit] = code;
            }
        }
        iconv_close(converter);
        for (unsigned byte = 0; byte < 0x100; ++byte) {
            bool valid = false;
            if (!IsLead(static_cast<unsigned char>(byte))) {
                fromUnicode_[Decode(static_cast<unsigned char>(byte), -1, valid)] = byte;
            }
        }
        loaded_ = true;
    }

    bool Loaded() const { return loaded_; }

    bool IsLeadByte(unsigned char byte) const override { return IsLead(byte); }

    WCHAR Decode(unsigned char lead, int trail, bool& valid) const override {
        valid = true;
        if (trail >= 0) {
            const WCHAR unit = toUnicode_[(lead << 8) | static_cast<unsigned>(trail)];
            valid = unit != 0;
            return valid ? unit : kUnicodeDefault;
        }
        if (lead < 0x80) return lead;
        if (lead >= 0xA1 && lead <= 0xDF) return static_cast<WCHAR>(0xFF61 + (lead - 0xA1));
        if (lead == 0x80) return 0x0080;
        // 0xA0 and 0xFD..0xFF decode to private-use characters but count as
        // invalid, as the table marks them undefined; so does a lone lead byte.
        valid = false;
        if (lead == 0xA0) return 0xF8F0;
        if (lead >= 0xFD) return static_cast<WCHAR>(0xF8F1 + (lead - 0xFD));
        return kUnicodeDefault;
    }

    int Encode(WCHAR unit, unsigned char bytes[2]) const override {
        if (unit == 0) {
            bytes[0] = 0;
            return 1;
        }
        // WCHAR is wider than UTF-16 here: a larger value is no unit of it.
        const unsigned long index = static_cast<unsigned long>(unit);
        return index < fromUnicode_.size() ? Written(fromUnicode_[index], bytes) : 0;
    }

    int BestFit(WCHAR unit, unsigned char bytes[2]) const override {
        if (unit == 0x00A5) return Written(0x5C, bytes);
        if (unit == 0x00AD) return Written(0x2D, bytes);
        return 0;
    }

private:
    // code: a byte, or a lead and trail byte as lead << 8 | trail; 0 for none.
    static int Written(unsigned code, unsigned char bytes[2]) {
        if (code == 0) return 0;
        if (code < 0x100) {
            bytes[0] = static_cast<unsigned char>(code);
            return 1;
        }
        bytes[0] = static_cast<unsigned char>(code >> 8);
        bytes[1] = static_cast<unsigned char>(code);
        return 2;
    }

    std::vector<WCHAR> toUnicode_;       // by lead << 8 | trail; 0 where unassigned
    std::vector<uint16_t> fromUnicode_;  // by unit; 0 where the code page lacks it
    bool loaded_ = false;
};

}  // namespace

const ByteCodePage* CodePage932() {
    static const ShiftJis page;
    return page.Loaded() ? &page : nullptr;
}
