// Directories over POSIX: the temporary folder, creating a directory and
// deleting a file, by A and W names alike.
#include <windows.h>

#include "kernel_errors.h"
#include "kernel_sharing.h"
#include "kernel_names.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

std::string TempPath() {
    std::string path = "/tmp/";
    for (const char* name : {"TMP", "TEMP", "TMPDIR"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            path = value;
            break;
        }
    }
    if (path.back() != '/') path += '/';
    return path;
}

WINBOOL CreateDirectoryNative(const std::string& name) {
    if (mkdir(name.c_str(), 0777) == 0) return TRUE;
    return errno == EEXIST ? Fail(ERROR_ALREADY_EXISTS, FALSE) : FailWithErrno(FALSE);
}

WINBOOL DeleteFileNative(const std::string& name) {
    struct stat info;
    if (lstat(name.c_str(), &info) != 0) return FailWithErrno(FALSE);
    // Windows deletes no directory this way.
    if (S_ISDIR(info.st_mode)) return Fail(ERROR_ACCESS_DENIED, FALSE);
    if (!ShareAllowsDelete(info.st_dev, info.st_ino)) return FALSE;
    if (unlink(name.c_str()) != 0) return FailWithErrno(FALSE);
    return TRUE;
}

}  // namespace

DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer) {
    return DeliverName(AnsiName(TempPath()), lpBuffer, nBufferLength);
}

DWORD WINAPI GetTempPathW(DWORD nBufferLength, LPWSTR lpBuffer) {
    return DeliverName(WideName(TempPath()), lpBuffer, nBufferLength);
}

WINBOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
    if (lpPathName == nullptr) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    return CreateDirectoryNative(NativeName(lpPathName));
}

WINBOOL WINAPI CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES) {
    if (lpPathName == nullptr) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    return CreateDirectoryNative(NativeName(lpPathName));
}

WINBOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
    if (lpFileName == nullptr) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    return DeleteFileNative(NativeName(lpFileName));
}

WINBOOL WINAPI DeleteFileW(LPCWSTR lpFileName) {
    if (lpFileName == nullptr) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    return DeleteFileNative(NativeName(lpFileName));
}
