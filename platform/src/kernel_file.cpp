// CreateFileA / CreateFileW / ReadFile / WriteFile / GetFileSizeEx /
// CloseHandle over POSIX file descriptors.
#include <windows.h>

#include "kernel_errors.h"
#include "kernel_handles.h"
#include "kernel_names.h"
#include "kernel_sharing.h"

#include <cerrno>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int OpenFlags(DWORD access, DWORD disposition, bool& known) {
    known = true;
    int flags = O_CLOEXEC;
    const bool reads = (access & GENERIC_READ) != 0;
    const bool appends = (access & FILE_APPEND_DATA) != 0 && (access & GENERIC_WRITE) == 0;
    const bool writes = (access & GENERIC_WRITE) != 0 || appends;
    flags |= reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
    // Writes of a handle opened to append only go to the end, whatever
    // another writer has added meanwhile.
    if (appends) flags |= O_APPEND;
    switch (disposition) {
        case CREATE_NEW:
            return flags | O_CREAT | O_EXCL;
        case CREATE_ALWAYS:
            return flags | O_CREAT | O_TRUNC;
        case OPEN_EXISTING:
            return flags;
        case OPEN_ALWAYS:
            return flags | O_CREAT;
        default:
            known = false;
            return flags;
    }
}

// Opens the file system's name as CreateFile does.
HANDLE Open(const std::string& name, DWORD access, DWORD share, DWORD disposition) {
    bool known = false;
    const int flags = OpenFlags(access, disposition, known);
    if (!known) return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    // O_NONBLOCK only for the open itself: POSIX would wait there for the
    // other end of a FIFO (or a modem line's carrier), Windows never does.
    // Reads afterwards block as ReadFile does on Windows.
    // OPEN_ALWAYS and CREATE_ALWAYS say whether the file was there already:
    // a try at making it new first tells.
    const bool tells = (flags & O_CREAT) != 0 && (flags & O_EXCL) == 0;
    bool existed = false;
    int fd;
    do {
        fd = open(name.c_str(), flags | (tells ? O_EXCL : 0) | O_NONBLOCK | O_NOCTTY, 0666);
        if (fd < 0 && tells && errno == EEXIST) {
            existed = true;
            fd = open(name.c_str(), (flags & ~O_CREAT) | O_NONBLOCK | O_NOCTTY, 0666);
        }
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return FailWithErrno(INVALID_HANDLE_VALUE);
    const int statusFlags = fcntl(fd, F_GETFL);
    if (statusFlags < 0 || fcntl(fd, F_SETFL, statusFlags & ~O_NONBLOCK) != 0) {
        close(fd);
        return FailWithErrno(INVALID_HANDLE_VALUE);
    }
    // Windows opens no directory as a file (without backup semantics).
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(fd);
        return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    }
    if (!ShareOpen(fd, info.st_dev, info.st_ino, access, share)) {
        // A file this open made stays, as on Windows, where the share check
        // comes first; truncation is the one loss the stand-in cannot undo.
        close(fd);
        return INVALID_HANDLE_VALUE;
    }
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return HandleFromFd(fd);
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/,
                          DWORD dwCreationDisposition, DWORD /*dwFlagsAndAttributes*/,
                          HANDLE /*hTemplateFile*/) {
    if (lpFileName == nullptr) return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    if (lpFileName[0] == '\0') return Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
    return Open(NativeName(lpFileName), dwDesiredAccess, dwShareMode, dwCreationDisposition);
}

HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/,
                          DWORD dwCreationDisposition, DWORD /*dwFlagsAndAttributes*/,
                          HANDLE /*hTemplateFile*/) {
    if (lpFileName == nullptr) return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    if (lpFileName[0] == 0) return Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
    return Open(NativeName(lpFileName), dwDesiredAccess, dwShareMode, dwCreationDisposition);
}

WINBOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                        LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped) {
    const int fd = FdFromHandle(hFile);
    if (fd < 0 || lpNumberOfBytesRead == nullptr || lpOverlapped != nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    *lpNumberOfBytesRead = 0;
    if (nNumberOfBytesToRead > 0 && lpBuffer == nullptr) return FALSE;
    // A file read returns the bytes asked for unless the end comes first.
    auto* out = static_cast<unsigned char*>(lpBuffer);
    DWORD total = 0;
    while (total < nNumberOfBytesToRead) {
        const ssize_t got = read(fd, out + total, nNumberOfBytesToRead - total);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            *lpNumberOfBytesRead = total;
            return FailWithErrno(FALSE);
        }
        if (got == 0) break;
        total += static_cast<DWORD>(got);
    }
    *lpNumberOfBytesRead = total;
    return TRUE;
}

WINBOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                         LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
    const int fd = FdFromHandle(hFile);
    if (fd < 0 || lpNumberOfBytesWritten == nullptr || lpOverlapped != nullptr ||
        (nNumberOfBytesToWrite > 0 && lpBuffer == nullptr)) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    // A file write writes everything unless an error stops it.
    const auto* in = static_cast<const unsigned char*>(lpBuffer);
    DWORD total = 0;
    while (total < nNumberOfBytesToWrite) {
        const ssize_t put = write(fd, in + total, nNumberOfBytesToWrite - total);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            *lpNumberOfBytesWritten = total;
            return FailWithErrno(FALSE);
        }
        total += static_cast<DWORD>(put);
    }
    *lpNumberOfBytesWritten = total;
    return TRUE;
}

WINBOOL WINAPI GetFileSizeEx(HANDLE hFile, PLARGE_INTEGER lpFileSize) {
    const int fd = FdFromHandle(hFile);
    struct stat info;
    if (fd < 0 || lpFileSize == nullptr) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (fstat(fd, &info) != 0) return FailWithErrno(FALSE);
    lpFileSize->QuadPart = info.st_size;
    return TRUE;
}

WINBOOL WINAPI CloseHandle(HANDLE hObject) {
    const int fd = FdFromHandle(hObject);
    if (fd < 0) return Fail(ERROR_INVALID_HANDLE, FALSE);
    ShareClose(fd);
    return close(fd) == 0 ? TRUE : FailWithErrno(FALSE);
}
