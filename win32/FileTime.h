// FILETIME as one number: 100-nanosecond units since 1601 (UTC).
#pragma once

#include <windows.h>

inline ULONGLONG FileTimeTicks(const FILETIME& time) {
    return static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

inline ULONGLONG NowTicks() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return FileTimeTicks(now);
}
