// MultiByteToWideChar / WideCharToMultiByte between UTF-16 and the code
// pages the stand-in knows: UTF-8, Windows-1252 and 932, any of them the
// ANSI code page (CP_ACP). Other code pages fail with ERROR_INVALID_PARAMETER.
#include <windows.h>

#include "codepage.h"
#include "platform_process_testing.h"

#include <atomic>
#include <cstring>
#include <string>

namespace {

std::atomic<UINT> ansiCodePage{1252};

constexpr DWORD kPrecomposed = 0x00000001;  // MB_PRECOMPOSED, the default

int Fail(DWORD error) {
    SetLastError(error);
    return 0;
}

UINT Resolved(UINT codePage) {
    return codePage == CP_ACP ? ansiCodePage.load() : codePage;
}

// The byte code page for codePage; null for UTF-8 and for pages unknown here.
const ByteCodePage* ByteCodePageOf(UINT codePage) {
    if (codePage == 1252) return &CodePage1252();
    if (codePage == 932) return CodePage932();
    return nullptr;
}

bool Known(UINT codePage) {
    return codePage == CP_UTF8 || ByteCodePageOf(codePage) != nullptr;
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

// A lead byte followed by the terminator stands alone, as on Windows.
bool Decode(const ByteCodePage& page, const unsigned char* bytes, int count, bool strict,
            std::wstring& out) {
    for (int i = 0; i < count; ++i) {
        const bool pair = page.IsLeadByte(bytes[i]) && i + 1 < count && bytes[i + 1] != 0;
        bool valid = true;
        out += page.Decode(bytes[i], pair ? bytes[i + 1] : -1, valid);
        if (!valid && strict) return false;
        if (pair) ++i;
    }
    return true;
}

// Each UTF-16 unit on its own, so a surrogate pair the code page lacks
// becomes two default characters, as on Windows. A look-alike that is the
// default character itself (U+FF1F as '?') counts as the default, as there.
std::string Encode(const ByteCodePage& page, LPCWSTR text, int count, bool bestFit,
                   const std::string& defaultChar, bool& usedDefault) {
    std::string out;
    usedDefault = false;
    for (int i = 0; i < count; ++i) {
        unsigned char bytes[2];
        int size = page.Encode(text[i], bytes);
        std::string fitted;
        if (size == 0 && bestFit && (size = page.BestFit(text[i], bytes)) != 0) {
            fitted.assign(bytes, bytes + size);
        }
        if (size == 0 || fitted == defaultChar) usedDefault = true;
        out += size == 0 ? defaultChar : std::string(bytes, bytes + size);
    }
    return out;
}

// The default character given, which may be a double-byte one.
std::string DefaultChar(const ByteCodePage& page, LPCSTR given) {
    if (given == nullptr) return "?";
    const bool pair = page.IsLeadByte(static_cast<unsigned char>(given[0])) && given[1] != '\0';
    return std::string(given, pair ? 2 : 1);
}

}  // namespace

extern "C" UINT WINAPI GetACP() {
    return ansiCodePage.load();
}

bool PlatformSetAnsiCodePage(UINT codePage) {
    if (!Known(codePage)) return false;
    ansiCodePage.store(codePage);
    return true;
}

bool IsAnsiLeadByte(unsigned char byte) {
    const ByteCodePage* page = ByteCodePageOf(ansiCodePage.load());
    return page != nullptr && page->IsLeadByte(byte);
}

extern "C" int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr,
                                          int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar) {
    const UINT codePage = Resolved(CodePage);
    if (!Known(codePage) || lpMultiByteStr == nullptr || cbMultiByte == 0 || cchWideChar < 0) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    // The stand-in takes only the flags whose meaning it emulates.
    const DWORD allowed =
        codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : MB_ERR_INVALID_CHARS | kPrecomposed;
    if ((dwFlags & ~allowed) != 0) return Fail(ERROR_INVALID_FLAGS);
    // -1: the text up to and including its terminator.
    const int count =
        cbMultiByte < 0 ? static_cast<int>(std::strlen(lpMultiByteStr)) + 1 : cbMultiByte;
    const auto* bytes = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
    const bool strict = (dwFlags & MB_ERR_INVALID_CHARS) != 0;
    std::wstring wide;
    const ByteCodePage* page = ByteCodePageOf(codePage);
    if (!(page != nullptr ? Decode(*page, bytes, count, strict, wide)
                          : Utf16OfUtf8(bytes, count, strict, wide))) {
        return Fail(ERROR_NO_UNICODE_TRANSLATION);
    }
    return Deliver(wide, lpWideCharStr, cchWideChar);
}

extern "C" int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr,
                                          int cchWideChar, LPSTR lpMultiByteStr, int cbMultiByte,
                                          LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar) {
    const UINT codePage = Resolved(CodePage);
    if (!Known(codePage) || lpWideCharStr == nullptr || cchWideChar == 0 || cbMultiByte < 0) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    int count = cchWideChar;
    if (count < 0) {
        count = 0;
        while (lpWideCharStr[count] != 0) ++count;
        ++count;
    }
    const ByteCodePage* page = ByteCodePageOf(codePage);
    if (page == nullptr) {
        // UTF-8 lacks no character: Windows refuses a default character for it.
        if (dwFlags != 0) return Fail(ERROR_INVALID_FLAGS);
        if (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr) {
            return Fail(ERROR_INVALID_PARAMETER);
        }
        return Deliver(Utf8OfUtf16(lpWideCharStr, count), lpMultiByteStr, cbMultiByte);
    }
    // The stand-in takes only the flags whose meaning it emulates.
    if ((dwFlags & ~static_cast<DWORD>(WC_NO_BEST_FIT_CHARS)) != 0) {
        return Fail(ERROR_INVALID_FLAGS);
    }
    bool usedDefault = false;
    const std::string bytes =
        Encode(*page, lpWideCharStr, count, (dwFlags & WC_NO_BEST_FIT_CHARS) == 0,
               DefaultChar(*page, lpDefaultChar), usedDefault);
    const int size = Deliver(bytes, lpMultiByteStr, cbMultiByte);
    if (size != 0 && lpUsedDefaultChar != nullptr) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
    return size;
}
