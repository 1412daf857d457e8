// POSIX times as Windows' FILETIME.
#pragma once

#include <windows.h>

#include <ctime>

// Seconds since 1970 as 100 ns since 1601.
inline FILETIME FileTime(const timespec& time) {
    const ULONGLONG ticks = (static_cast<ULONGLONG>(time.tv_sec) + 11644473600ULL) * 10000000ULL +
                            static_cast<ULONGLONG>(time.tv_nsec) / 100;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}
