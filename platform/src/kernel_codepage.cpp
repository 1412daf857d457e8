// MultiByteToWideChar / WideCharToMultiByte between UTF-16 and the two code
// pages the stand-in knows: its ANSI code page, Windows-1252 (CP_ACP or
// 1252), and UTF-8. Other code pages fail with ERROR_INVALID_PARAMETER.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

// Windows-1252's 0x80..0x9F; the five unassigned bytes map to the C1
// controls of the same value, as Windows maps them.
constexpr WCHAR kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr unsigned long kReplacement = 0xFFFD;

bool IsAnsi(UINT codePage) {
    return codePage == CP_ACP || codePage == 1252;
}

int Fail(DWORD error) {
    SetLastError(error);
    return 0;
}

WCHAR FromAnsi(unsigned char c) {
    return c >= 0x80 && c <= 0x9F ? kHighControls[c - 0x80] : static_cast<WCHAR>(c);
}

// The Windows-1252 byte of a UTF-16 unit, or -1 when the code page lacks it.
int ToAnsi(unsigned long unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<int>(unit);
    for (int i = 0; i < 32; ++i) {
        if (static_cast<unsigned long>(kHighControls[i]) == unit) return 0x80 + i;
    }
    return -1;
}

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

// Decodes UTF-8 as Windows does: a sequence that is overlong, encodes a
// surrogate, lies above U+10FFFF or is cut short is invalid; each maximal
// invalid part becomes U+FFFD, or ends the conversion when strict.
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

// The UTF-8 of count wide characters, read as UTF-16 (a pair of surrogates
// is one character, a lone surrogate U+FFFD) as on Windows.
std::string Utf8Of(LPCWSTR text, int count) {
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

// The Windows-1252 bytes of count wide characters, each unit on its own; a
// unit the code page lacks becomes defaultChar. Best-fit mappings (U+0100 as
// 'A') are not built in: callers ask for WC_NO_BEST_FIT_CHARS.
std::string AnsiOf(LPCWSTR text, int count, char defaultChar, bool& usedDefault) {
    std::string out;
    usedDefault = false;
    for (int i = 0; i < count; ++i) {
        const int byte = ToAnsi(static_cast<unsigned long>(text[i]));
        if (byte < 0) usedDefault = true;
        out += byte < 0 ? defaultChar : static_cast<char>(byte);
    }
    return out;
}

// Copies result out as Windows does: a size of 0 asks for the size needed.
template <class Unit>
int Deliver(const std::basic_string<Unit>& result, Unit* out, int room) {
    const int size = static_cast<int>(result.size());
    if (room == 0) return size;
    if (out == nullptr || room < size) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(out, result.data(), result.size() * sizeof(Unit));
    return size;
}

}  // namespace

extern "C" UINT WINAPI GetACP() {
    return 1252;
}

extern "C" int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr,
                                          int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar) {
    if ((!IsAnsi(CodePage) && CodePage != CP_UTF8) || lpMultiByteStr == nullptr ||
        cbMultiByte == 0 || cchWideChar < 0) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (CodePage == CP_UTF8 && (dwFlags & ~static_cast<DWORD>(MB_ERR_INVALID_CHARS)) != 0) {
        return Fail(ERROR_INVALID_FLAGS);
    }
    // -1: the text up to and including its terminator.
    const int count =
        cbMultiByte < 0 ? static_cast<int>(std::strlen(lpMultiByteStr)) + 1 : cbMultiByte;
    const auto* bytes = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
    std::wstring wide;
    if (CodePage == CP_UTF8) {
        if (!Utf16OfUtf8(bytes, count, (dwFlags & MB_ERR_INVALID_CHARS) != 0, wide)) {
            return Fail(ERROR_NO_UNICODE_TRANSLATION);
        }
    } else {
        for (int i = 0; i < count; ++i) wide += FromAnsi(bytes[i]);
    }
    return Deliver(wide, lpWideCharStr, cchWideChar);
}

extern "C" int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr,
                                          int cchWideChar, LPSTR lpMultiByteStr, int cbMultiByte,
                                          LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar) {
    if ((!IsAnsi(CodePage) && CodePage != CP_UTF8) || lpWideCharStr == nullptr ||
        cchWideChar == 0 || cbMultiByte < 0) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    int count = cchWideChar;
    if (count < 0) {
        count = 0;
        while (lpWideCharStr[count] != 0) ++count;
        ++count;
    }
    if (CodePage == CP_UTF8) {
        // UTF-8 lacks no character: Windows refuses a default character for it.
        if (dwFlags != 0) return Fail(ERROR_INVALID_FLAGS);
        if (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr) {
            return Fail(ERROR_INVALID_PARAMETER);
        }
        return Deliver(Utf8Of(lpWideCharStr, count), lpMultiByteStr, cbMultiByte);
    }
    if (dwFlags != WC_NO_BEST_FIT_CHARS) return Fail(ERROR_INVALID_FLAGS);
    bool usedDefault = false;
    const std::string ansi =
        AnsiOf(lpWideCharStr, count, lpDefaultChar != nullptr ? *lpDefaultChar : '?', usedDefault);
    const int size = Deliver(ansi, lpMultiByteStr, cbMultiByte);
    if (size != 0 && lpUsedDefaultChar != nullptr) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
    return size;
}
