// The kernel stand-in's last error: Windows' error code for what POSIX
// reported.
#pragma once

#include <windows.h>

#include <cerrno>

// ERROR_FILE_NOT_FOUND for ENOENT, ERROR_FILE_EXISTS for EEXIST ...
DWORD ErrorFromErrno(int error);

// Sets the calling thread's last error from errno and returns result.
template <typename Result>
Result FailWithErrno(Result result) {
    SetLastError(ErrorFromErrno(errno));
    return result;
}

template <typename Result>
Result Fail(DWORD error, Result result) {
    SetLastError(error);
    return result;
}
