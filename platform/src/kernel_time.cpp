// GetLocalTime, GetSystemTime and GetSystemTimeAsFileTime over the C
// library's clock, and GetCurrentProcessId.
#include <windows.h>

#include <sys/time.h>
#include <unistd.h>

#include <ctime>

namespace {

void Fill(LPSYSTEMTIME lpSystemTime, bool local) {
    struct timeval now;
    gettimeofday(&now, nullptr);
    struct tm when;
    const time_t seconds = now.tv_sec;
    if (local) {
        localtime_r(&seconds, &when);
    } else {
        gmtime_r(&seconds, &when);
    }
    lpSystemTime->wYear = static_cast<WORD>(when.tm_year + 1900);
    lpSystemTime->wMonth = static_cast<WORD>(when.tm_mon + 1);
    lpSystemTime->wDayOfWeek = static_cast<WORD>(when.tm_wday);
    lpSystemTime->wDay = static_cast<WORD>(when.tm_mday);
    lpSystemTime->wHour = static_cast<WORD>(when.tm_hour);
    lpSystemTime->wMinute = static_cast<WORD>(when.tm_min);
    lpSystemTime->wSecond = static_cast<WORD>(when.tm_sec);
    lpSystemTime->wMilliseconds = static_cast<WORD>(now.tv_usec / 1000);
}

}  // namespace

VOID WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime) {
    Fill(lpSystemTime, true);
}

VOID WINAPI GetSystemTime(LPSYSTEMTIME lpSystemTime) {
    Fill(lpSystemTime, false);
}

VOID WINAPI GetSystemTimeAsFileTime(LPFILETIME lpSystemTimeAsFileTime) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    // 100 ns intervals since 1601.
    const ULONGLONG ticks = (static_cast<ULONGLONG>(now.tv_sec) + 11644473600ULL) * 10000000ULL +
                            static_cast<ULONGLONG>(now.tv_nsec) / 100;
    lpSystemTimeAsFileTime->dwLowDateTime = static_cast<DWORD>(ticks);
    lpSystemTimeAsFileTime->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

DWORD WINAPI GetCurrentProcessId() {
    return static_cast<DWORD>(getpid());
}
