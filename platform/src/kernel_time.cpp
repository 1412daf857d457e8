// GetLocalTime over the C library's local time.
#include <windows.h>

#include <sys/time.h>

#include <ctime>

VOID WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime) {
    struct timeval now;
    gettimeofday(&now, nullptr);
    struct tm local;
    const time_t seconds = now.tv_sec;
    localtime_r(&seconds, &local);
    lpSystemTime->wYear = static_cast<WORD>(local.tm_year + 1900);
    lpSystemTime->wMonth = static_cast<WORD>(local.tm_mon + 1);
    lpSystemTime->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    lpSystemTime->wDay = static_cast<WORD>(local.tm_mday);
    lpSystemTime->wHour = static_cast<WORD>(local.tm_hour);
    lpSystemTime->wMinute = static_cast<WORD>(local.tm_min);
    lpSystemTime->wSecond = static_cast<WORD>(local.tm_sec);
    lpSystemTime->wMilliseconds = static_cast<WORD>(now.tv_usec / 1000);
}
