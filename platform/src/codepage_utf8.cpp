// UTF-8 to and from UTF-16, with Windows' treatment of what is invalid.
#include "codepage.h"

namespace {

constexpr unsigned long kReplacement = 0xFFFD;

bool IsSurrogate(unsigned long unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

void AppendUtf16(std::wstring& out, unsigned long code) {
    if (code < 0x10000) {
        out += static_cast<WCHAR>(code);
    } else {
        code -= 0x10000;
        out += static_cast<WCHAR>(0xD800 + (code >> 10));
        out += static_cast<WCHAR>(0xDC00 + (code & 0x3FF));
    }
}

void AppendUtf8(std::string& out, unsigned long code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

// A sequence that is overlong, encodes a surrogate, lies above U+10FFFF or
// is cut short is invalid; each maximal invalid part becomes U+FFFD.
bool Utf16OfUtf8(const unsigned char* text, int count, bool strict, std::wstring& out) {
    int i = 0;
    while (i < count) {
        const unsigned char lead = text[i];
        int trail = 0;
        unsigned long code = lead;
        unsigned char low = 0x80, high = 0xBF;  // the allowed range of the first trail byte
        if (lead < 0x80) {
            trail = 0;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            trail = 1;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trail = 2;
            code = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trail = 3;
            code = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            if (strict) return false;
            out += static_cast<WCHAR>(kReplacement);
            ++i;
            continue;
        }
        int taken = 1;
        for (; taken <= trail && i + taken < count; ++taken) {
            const unsigned char c = text[i + taken];
            if (c < (taken == 1 ? low : 0x80) || c > (taken == 1 ? high : 0xBF)) break;
            code = (code << 6) | (c & 0x3F);
        }
        if (taken <= trail) {
            if (strict) return false;
            code = kReplacement;
        }
        AppendUtf16(out, code);
        i += taken;
    }
    return true;
}

// A pair of surrogates is one character.
std::string Utf8OfUtf16(LPCWSTR text, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        unsigned long code = static_cast<unsigned long>(text[i]);
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < count && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) +
                   (static_cast<unsigned long>(text[++i]) - 0xDC00);
        } else if (IsSurrogate(code) || code > 0x10FFFF) {
            code = kReplacement;
        }
        AppendUtf8(out, code);
    }
    return out;
}
