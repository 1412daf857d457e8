#include "text/AnsiToUtf8.h"

#include "text/HeapBlock.h"

bool AnsiToUtf8(const char* text, size_t length, Text& utf8, UINT codePage) {
    utf8.clear();
    if (length == 0) return true;
    if (length > 0x7FFFFFFF) return false;
    const int bytes = static_cast<int>(length);
    const int wideCount = MultiByteToWideChar(codePage, 0, text, bytes, nullptr, 0);
    if (wideCount <= 0) return false;
    HeapBlock wideBlock(static_cast<size_t>(wideCount) * sizeof(WCHAR));
    WCHAR* wide = static_cast<WCHAR*>(wideBlock.get());
    if (wide == nullptr ||
        MultiByteToWideChar(codePage, 0, text, bytes, wide, wideCount) != wideCount) {
        return false;
    }
    const int utf8Count =
        WideCharToMultiByte(CP_UTF8, 0, wide, wideCount, nullptr, 0, nullptr, nullptr);
    if (utf8Count <= 0) return false;
    HeapBlock outBlock(static_cast<size_t>(utf8Count));
    char* out = static_cast<char*>(outBlock.get());
    if (out == nullptr || WideCharToMultiByte(CP_UTF8, 0, wide, wideCount, out, utf8Count, nullptr,
                                              nullptr) != utf8Count) {
        return false;
    }
    return utf8.assign(out, static_cast<size_t>(utf8Count));
}
