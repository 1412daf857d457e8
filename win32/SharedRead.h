// Opening a file to read while other programs may have it open for reading
// or writing, as Quillora opens everything it reads: a log that another
// program still writes is taken as it stands.
#pragma once

#include <windows.h>

inline HANDLE OpenSharedRead(const char* path) {
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

inline HANDLE OpenSharedRead(const WCHAR* path) {
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}
