// MultiByteToWideChar / WideCharToMultiByte for the two code pages the
// stand-in knows: its ANSI code page, Windows-1252 (CP_ACP or 1252), as
// the source, and UTF-8 as the target. Other combinations fail (0).
#include <windows.h>

#include <string>

namespace {

// Windows-1252's 0x80..0x9F; the five unassigned bytes map to the C1
// controls of the same value, as Windows maps them.
constexpr WCHAR kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsAnsi(UINT codePage) {
    return codePage == CP_ACP || codePage == 1252;
}

WCHAR FromAnsi(unsigned char c) {
    return c >= 0x80 && c <= 0x9F ? kHighControls[c - 0x80] : static_cast<WCHAR>(c);
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
        } else if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            code = 0xFFFD;
        }
        AppendUtf8(out, code);
    }
    return out;
}

}  // namespace

extern "C" UINT WINAPI GetACP() {
    return 1252;
}

extern "C" int WINAPI MultiByteToWideChar(UINT CodePage, DWORD, LPCSTR lpMultiByteStr,
                                          int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar) {
    if (!IsAnsi(CodePage) || lpMultiByteStr == nullptr || cbMultiByte == 0 || cchWideChar < 0) {
        return 0;
    }
    // -1: the text up to and including its terminator.
    const int count =
        cbMultiByte < 0 ? static_cast<int>(std::strlen(lpMultiByteStr)) + 1 : cbMultiByte;
    if (cchWideChar == 0) return count;
    if (lpWideCharStr == nullptr || cchWideChar < count) return 0;
    for (int i = 0; i < count; ++i) {
        lpWideCharStr[i] = FromAnsi(static_cast<unsigned char>(lpMultiByteStr[i]));
    }
    return count;
}

extern "C" int WINAPI WideCharToMultiByte(UINT CodePage, DWORD, LPCWSTR lpWideCharStr,
                                          int cchWideChar, LPSTR lpMultiByteStr, int cbMultiByte,
                                          LPCSTR, LPBOOL) {
    if (CodePage != CP_UTF8 || lpWideCharStr == nullptr || cchWideChar == 0 || cbMultiByte < 0) {
        return 0;
    }
    int count = cchWideChar;
    if (count < 0) {
        count = 0;
        while (lpWideCharStr[count] != 0) ++count;
        ++count;
    }
    const std::string utf8 = Utf8Of(lpWideCharStr, count);
    const int size = static_cast<int>(utf8.size());
    if (cbMultiByte == 0) return size;
    if (lpMultiByteStr == nullptr || cbMultiByte < size) return 0;
    std::memcpy(lpMultiByteStr, utf8.data(), utf8.size());
    return size;
}
