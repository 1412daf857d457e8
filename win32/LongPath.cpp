#include "win32/LongPath.h"

namespace {

bool IsSeparator(WCHAR c) {
    return c == L'\\' || c == L'/';
}

bool HasPrefix(const WCHAR* path) {
    return IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == L'?' || path[2] == L'.') &&
           IsSeparator(path[3]);
}

bool IsDriveLetter(WCHAR c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

}  // namespace

bool PrefixedPath(const WCHAR* full, WideText& out) {
    const size_t length = WideLength(full);
    if (IsDriveLetter(full[0]) && full[1] == L':' && full[2] == L'\\') {
        out.clear();
        return out.appendAscii("\\\\?\\") && out.append(full, length);
    }
    if (full[0] == L'\\' && full[1] == L'\\' && !HasPrefix(full)) {
        out.clear();
        return out.appendAscii("\\\\?\\UNC\\") && out.append(full + 2, length - 2);
    }
    return out.assign(full, length);
}

bool LongPathForm(const WCHAR* path, WideText& out) {
    const size_t length = WideLength(path);
    const auto noMemory = [] {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    };
    if (length < MAX_PATH || HasPrefix(path)) return out.assign(path, length) || noMemory();
    const DWORD needed = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (needed == 0) return false;
    WideText full;
    WCHAR* buffer = full.Buffer(needed);
    if (buffer == nullptr) return noMemory();
    const DWORD written = GetFullPathNameW(path, needed, buffer, nullptr);
    if (written == 0 || written >= needed) {
        if (written != 0) SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    full.SetSize(written);
    return PrefixedPath(full.c_str(), out) || noMemory();
}
