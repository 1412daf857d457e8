#include "request/BodyText.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "text/AnsiToUtf8.h"
#include "text/HeapBlock.h"
#include "text/Utf16.h"
#include "text/WideToAnsi.h"
#include "text/WideToUtf8.h"

namespace {

bool StartsWith(const char* bytes, size_t size, const char* mark) {
    const size_t length = std::strlen(mark);
    return size >= length && std::memcmp(bytes, mark, length) == 0;
}

bool BeyondAscii(const char* bytes, size_t size) {
    // Eight bytes at a time: a body file may hold 16 MiB.
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        if ((word & 0x8080808080808080ULL) != 0) return true;
    }
    for (; i < size; ++i) {
        if (static_cast<unsigned char>(bytes[i]) > 0x7F) return true;
    }
    return false;
}

// The UTF-16 units that size bytes of UTF-8 make, or 0 when they are not
// valid UTF-8 (overlong, a surrogate, cut short ...).
int Utf8Units(const char* bytes, size_t size) {
    if (size == 0 || size > INT_MAX) return 0;
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(size),
                               nullptr, 0);
}

// false when the bytes are not valid UTF-8 or the conversion fails.
bool FromUtf8(const char* bytes, size_t size, UINT codePage, Text& body, size_t& notInCodePage,
              Text* exact) {
    if (size == 0) {
        body.clear();
        if (exact != nullptr) exact->clear();
        return true;
    }
    const int units = Utf8Units(bytes, size);
    if (units <= 0) return false;
    HeapBlock block(static_cast<size_t>(units) * sizeof(WCHAR));
    WCHAR* wide = static_cast<WCHAR*>(block.get());
    if (wide == nullptr || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes,
                                               static_cast<int>(size), wide, units) != units) {
        return false;
    }
    if (exact != nullptr && !exact->assign(bytes, size)) return false;
    return WideToAnsi(wide, static_cast<size_t>(units), body, notInCodePage, codePage);
}

// Reads the units itself: the kernel has no conversion from UTF-16 BE, and a
// zero character or a lone surrogate must refuse the file, not pass on.
bool FromUtf16(const char* bytes, size_t size, bool bigEndian, UINT codePage, Text& body,
               size_t& notInCodePage, Text* exact) {
    if (size % 2 != 0) return false;
    const size_t count = size / 2;
    HeapBlock block(count * sizeof(WCHAR));
    WCHAR* wide = static_cast<WCHAR*>(block.get());
    if (count != 0 && wide == nullptr) return false;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < count; ++i) {
        const unsigned first = in[2 * i], second = in[2 * i + 1];
        const unsigned unit = bigEndian ? first << 8 | second : second << 8 | first;
        if (unit == 0) return false;
        const bool pairOpen = i > 0 && IsHighSurrogate(wide[i - 1]);
        if (IsLowSurrogate(unit) != pairOpen) return false;
        wide[i] = static_cast<WCHAR>(unit);
    }
    if (count != 0 && IsHighSurrogate(wide[count - 1])) return false;
    // Before WideToAnsi, which rewrites wide.
    if (exact != nullptr && !WideToUtf8(wide, count, *exact)) return false;
    return WideToAnsi(wide, count, body, notInCodePage, codePage);
}

}  // namespace

bool DecodeBodyText(const char* bytes, size_t size, Text& body, BodyFileFacts& facts, UINT codePage,
                    Text* exact) {
    facts = BodyFileFacts();
    size_t notInCodePage = 0;
    const char* encoding = nullptr;
    bool decoded = false;
    const bool ascii = !BeyondAscii(bytes, size);
    if (StartsWith(bytes, size, "\xFF\xFE") || StartsWith(bytes, size, "\xFE\xFF")) {
        const bool bigEndian = bytes[0] == '\xFE';
        encoding = bigEndian ? "UTF-16 BE" : "UTF-16 LE";
        decoded = FromUtf16(bytes + 2, size - 2, bigEndian, codePage, body, notInCodePage, exact);
    } else if (size != 0 && std::memchr(bytes, '\0', size) != nullptr) {
        // A zero byte outside UTF-16 is a zero character: the body would end there.
        facts.refusal = "it holds a zero character";
        return false;
    } else if (StartsWith(bytes, size, "\xEF\xBB\xBF")) {
        encoding = "UTF-8 with byte order mark";
        decoded = FromUtf8(bytes + 3, size - 3, codePage, body, notInCodePage, exact);
    } else if (!ascii && Utf8Units(bytes, size) > 0) {
        encoding = "UTF-8";
        decoded = FromUtf8(bytes, size, codePage, body, notInCodePage, exact);
    } else {
        encoding = "ANSI code page";
        // ASCII is the same in UTF-8: body serves as it is.
        decoded = body.assign(bytes, size) &&
                  (exact == nullptr || ascii || AnsiToUtf8(bytes, size, *exact, codePage));
    }
    if (!decoded) {
        facts.refusal = "its text is not whole (a zero character, invalid UTF-8 or UTF-16)";
        return false;
    }
    facts.encoding = encoding;
    facts.notInCodePage = notInCodePage;
    facts.ascii = ascii;
    return true;
}

bool DecodeBodyText(Text&& bytes, Text& body, BodyFileFacts& facts, UINT codePage, Text* exact) {
    const char* text = bytes.c_str();
    const size_t size = bytes.size();
    if (StartsWith(text, size, "\xFF\xFE") || StartsWith(text, size, "\xFE\xFF") ||
        StartsWith(text, size, "\xEF\xBB\xBF") || BeyondAscii(text, size) ||
        std::memchr(text, '\0', size) != nullptr) {
        return DecodeBodyText(text, size, body, facts, codePage, exact);
    }
    // ASCII: the code page's text and UTF-8 alike, taken as it is.
    facts = BodyFileFacts();
    facts.encoding = "ANSI code page";
    facts.ascii = true;
    body = static_cast<Text&&>(bytes);
    return true;
}
