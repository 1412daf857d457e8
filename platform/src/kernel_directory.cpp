// Directories over POSIX: the temporary folder, creating a directory,
// deleting a file, and listing a directory with Windows' wildcards.
#include <windows.h>

#include "kernel_errors.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

namespace {

// A directory listing in progress: the handle is a pointer to one of these.
struct Search {
    DIR* directory;
    std::string path;     // the directory, with a trailing '/'
    std::string pattern;  // Windows' wildcards, which fnmatch reads alike
};
std::mutex searchesMutex;
std::set<Search*> searches;

// Seconds since 1970 as a FILETIME (100 ns since 1601).
FILETIME FileTime(time_t seconds, long nanoseconds) {
    const ULONGLONG ticks = (static_cast<ULONGLONG>(seconds) + 11644473600ULL) * 10000000ULL +
                            static_cast<ULONGLONG>(nanoseconds) / 100;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

// The next entry of search that matches, described in data.
bool NextMatch(Search& search, LPWIN32_FIND_DATAA data) {
    while (const dirent* entry = readdir(search.directory)) {
        if (fnmatch(search.pattern.c_str(), entry->d_name, FNM_NOESCAPE) != 0) continue;
        if (std::strlen(entry->d_name) >= MAX_PATH) continue;
        struct stat info;
        if (stat((search.path + entry->d_name).c_str(), &info) != 0) continue;
        std::memset(data, 0, sizeof *data);
        data->dwFileAttributes =
            S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
        data->ftCreationTime = FileTime(info.st_ctim.tv_sec, info.st_ctim.tv_nsec);
        data->ftLastAccessTime = FileTime(info.st_atim.tv_sec, info.st_atim.tv_nsec);
        data->ftLastWriteTime = FileTime(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
        const ULONGLONG size = static_cast<ULONGLONG>(info.st_size);
        data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data->nFileSizeLow = static_cast<DWORD>(size);
        std::strcpy(data->cFileName, entry->d_name);
        return true;
    }
    return false;
}

}  // namespace

DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer) {
    std::string path = "/tmp/";
    for (const char* name : {"TMP", "TEMP", "TMPDIR"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            path = value;
            break;
        }
    }
    if (path.back() != '/') path += '/';
    const DWORD length = static_cast<DWORD>(path.size());
    if (lpBuffer == nullptr || nBufferLength <= length) return length + 1;
    std::memcpy(lpBuffer, path.c_str(), length + 1);
    return length;
}

WINBOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
    if (lpPathName == nullptr) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (mkdir(lpPathName, 0777) == 0) return TRUE;
    return errno == EEXIST ? Fail(ERROR_ALREADY_EXISTS, FALSE) : FailWithErrno(FALSE);
}

WINBOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
    struct stat info;
    if (lpFileName == nullptr) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (lstat(lpFileName, &info) != 0) return FailWithErrno(FALSE);
    // Windows deletes no directory this way.
    if (S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (unlink(lpFileName) != 0) return FailWithErrno(FALSE);
    return TRUE;
}

HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
    if (lpFileName == nullptr || lpFindFileData == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const std::string name = lpFileName;
    const size_t slash = name.rfind('/');
    const std::string path = slash == std::string::npos ? "./" : name.substr(0, slash + 1);
    Search* search = new Search{opendir(path.c_str()), path, name.substr(slash + 1)};
    if (search->directory == nullptr) {
        const int error = errno;
        delete search;
        SetLastError(error == ENOENT || error == ENOTDIR ? ERROR_PATH_NOT_FOUND
                                                         : ErrorFromErrno(error));
        return INVALID_HANDLE_VALUE;
    }
    if (!NextMatch(*search, lpFindFileData)) {
        closedir(search->directory);
        delete search;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::lock_guard<std::mutex> lock(searchesMutex);
    searches.insert(search);
    return reinterpret_cast<HANDLE>(search);
}

WINBOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
    Search* search = reinterpret_cast<Search*>(hFindFile);
    {
        std::lock_guard<std::mutex> lock(searchesMutex);
        if (searches.count(search) == 0 || lpFindFileData == nullptr) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
    }
    if (NextMatch(*search, lpFindFileData)) return TRUE;
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
}

WINBOOL WINAPI FindClose(HANDLE hFindFile) {
    Search* search = reinterpret_cast<Search*>(hFindFile);
    std::lock_guard<std::mutex> lock(searchesMutex);
    if (searches.erase(search) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    closedir(search->directory);
    delete search;
    return TRUE;
}
