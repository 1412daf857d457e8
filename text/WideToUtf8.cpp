#include "text/WideToUtf8.h"

#include <climits>

#include "text/HeapBlock.h"

bool WideToMultiByte(UINT codePage, const WCHAR* wide, size_t count, Text& text) {
    text.clear();
    if (count == 0) return true;
    // At most four bytes a unit, in any code page.
    if (count > INT_MAX / 4) return false;
    const int units = static_cast<int>(count);
    const int size = WideCharToMultiByte(codePage, 0, wide, units, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return false;
    HeapBlock block(static_cast<size_t>(size));
    char* out = static_cast<char*>(block.get());
    return out != nullptr &&
           WideCharToMultiByte(codePage, 0, wide, units, out, size, nullptr, nullptr) == size &&
           text.assign(out, static_cast<size_t>(size));
}

bool WideToUtf8(const WCHAR* wide, size_t count, Text& utf8) {
    return WideToMultiByte(CP_UTF8, wide, count, utf8);
}

bool MultiByteToWide(UINT codePage, const char* text, size_t size, WideText& wide) {
    wide.clear();
    if (size == 0) return true;
    if (size > INT_MAX) return false;
    const int bytes = static_cast<int>(size);
    const int units = MultiByteToWideChar(codePage, 0, text, bytes, nullptr, 0);
    if (units <= 0) return false;
    WCHAR* out = wide.Buffer(static_cast<size_t>(units));
    if (out == nullptr || MultiByteToWideChar(codePage, 0, text, bytes, out, units) != units) {
        wide.clear();
        return false;
    }
    wide.SetSize(static_cast<size_t>(units));
    return true;
}

bool Utf8ToWide(const char* utf8, size_t size, WideText& wide) {
    return MultiByteToWide(CP_UTF8, utf8, size, wide);
}
