// The stand-in's file handles: a handle encodes its descriptor as
// (fd + 1) * 4, so it is never null nor INVALID_HANDLE_VALUE and, like a
// Windows handle, a multiple of four.
#pragma once

#include <windows.h>

#include <cstdint>

inline HANDLE HandleFromFd(int fd) {
    return reinterpret_cast<HANDLE>((static_cast<uintptr_t>(fd) + 1) * 4);
}

// -1 for anything that is not one of our file handles.
inline int FdFromHandle(HANDLE handle) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || value % 4 != 0) return -1;
    const uintptr_t fd = value / 4 - 1;
    return fd <= 0x7FFFFFFF ? static_cast<int>(fd) : -1;
}
