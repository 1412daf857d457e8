#include "text/WideToUtf8.h"

#include <climits>

#include "text/HeapBlock.h"

bool WideToUtf8(const WCHAR* wide, size_t count, Text& utf8) {
    utf8.clear();
    if (count == 0) return true;
    if (count > INT_MAX / 3) return false;
    const int units = static_cast<int>(count);
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, units, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return false;
    HeapBlock block(static_cast<size_t>(size));
    char* out = static_cast<char*>(block.get());
    return out != nullptr &&
           WideCharToMultiByte(CP_UTF8, 0, wide, units, out, size, nullptr, nullptr) == size &&
           utf8.assign(out, static_cast<size_t>(size));
}

bool Utf8ToWide(const char* utf8, size_t size, WideText& wide) {
    wide.clear();
    if (size == 0) return true;
    if (size > INT_MAX) return false;
    const int bytes = static_cast<int>(size);
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8, bytes, nullptr, 0);
    if (units <= 0) return false;
    WCHAR* out = wide.Buffer(static_cast<size_t>(units));
    if (out == nullptr || MultiByteToWideChar(CP_UTF8, 0, utf8, bytes, out, units) != units) {
        wide.clear();
        return false;
    }
    wide.SetSize(static_cast<size_t>(units));
    return true;
}
