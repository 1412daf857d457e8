// What a file handle is and where it stands: GetFileType, SetFilePointerEx,
// GetFileInformationByHandle over fstat and lseek.
#include <windows.h>

#include "kernel_errors.h"
#include "kernel_filetime.h"
#include "kernel_handles.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr DWORD kErrorNegativeSeek = 131;  // ERROR_NEGATIVE_SEEK

}  // namespace

DWORD WINAPI GetFileType(HANDLE hFile) {
    const int fd = FdFromHandle(hFile);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0) return Fail(ERROR_INVALID_HANDLE, FILE_TYPE_UNKNOWN);
    // A valid handle of no known type says so with no error.
    SetLastError(ERROR_SUCCESS);
    if (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode) || S_ISBLK(info.st_mode)) {
        return FILE_TYPE_DISK;
    }
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) return FILE_TYPE_PIPE;
    if (S_ISCHR(info.st_mode)) return FILE_TYPE_CHAR;
    return FILE_TYPE_UNKNOWN;
}

WINBOOL WINAPI SetFilePointerEx(HANDLE hFile, LARGE_INTEGER liDistanceToMove,
                                PLARGE_INTEGER lpNewFilePointer, DWORD dwMoveMethod) {
    const int fd = FdFromHandle(hFile);
    if (fd < 0) return Fail(ERROR_INVALID_HANDLE, FALSE);
    int whence;
    switch (dwMoveMethod) {
        case FILE_BEGIN:
            whence = SEEK_SET;
            break;
        case FILE_CURRENT:
            whence = SEEK_CUR;
            break;
        case FILE_END:
            whence = SEEK_END;
            break;
        default:
            return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    // Before the start is ERROR_NEGATIVE_SEEK on Windows; lseek says only EINVAL.
    const off_t from = whence == SEEK_SET ? 0 : lseek(fd, 0, whence);
    if (from < 0) return FailWithErrno(FALSE);
    if (liDistanceToMove.QuadPart < 0 && -liDistanceToMove.QuadPart > from) {
        return Fail(kErrorNegativeSeek, FALSE);
    }
    const off_t position = lseek(fd, static_cast<off_t>(liDistanceToMove.QuadPart), whence);
    if (position < 0) return FailWithErrno(FALSE);
    if (lpNewFilePointer != nullptr) lpNewFilePointer->QuadPart = position;
    return TRUE;
}

// The device and inode numbers stand for the volume serial number and the
// file index, so two handles of one file give the same three values.
WINBOOL WINAPI GetFileInformationByHandle(HANDLE hFile,
                                          LPBY_HANDLE_FILE_INFORMATION lpFileInformation) {
    const int fd = FdFromHandle(hFile);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0) return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (lpFileInformation == nullptr) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    BY_HANDLE_FILE_INFORMATION& out = *lpFileInformation;
    out.dwFileAttributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    out.ftCreationTime = FileTime(info.st_ctim);
    out.ftLastAccessTime = FileTime(info.st_atim);
    out.ftLastWriteTime = FileTime(info.st_mtim);
    const ULONGLONG device = static_cast<ULONGLONG>(info.st_dev);
    out.dwVolumeSerialNumber = static_cast<DWORD>(device ^ (device >> 32));
    const ULONGLONG size = static_cast<ULONGLONG>(info.st_size);
    out.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    out.nFileSizeLow = static_cast<DWORD>(size);
    out.nNumberOfLinks = static_cast<DWORD>(info.st_nlink);
    const ULONGLONG index = static_cast<ULONGLONG>(info.st_ino);
    out.nFileIndexHigh = static_cast<DWORD>(index >> 32);
    out.nFileIndexLow = static_cast<DWORD>(index);
    return TRUE;
}
