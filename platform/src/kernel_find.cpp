// FindFirstFileA/W, FindNextFileA/W, FindClose: a directory listed for the
// names that match a pattern with Windows' wildcards '*' and '?', which
// match characters (UTF-16 units), not bytes.
#include <windows.h>

#include "kernel_errors.h"
#include "kernel_filetime.h"
#include "kernel_names.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

namespace {

// A directory listing in progress: the handle is a pointer to one of these.
struct Search {
    DIR* directory;
    std::string path;      // the file system's name of the directory, with a trailing '/'
    std::wstring pattern;  // the last part of the name searched for
};
std::mutex searchesMutex;
std::set<Search*> searches;

bool Matches(const wchar_t* pattern, const wchar_t* name) {
    for (; *pattern != L'\0'; ++pattern, ++name) {
        if (*pattern == L'*') {
            for (const wchar_t* rest = name;; ++rest) {
                if (Matches(pattern + 1, rest)) return true;
                if (*rest == L'\0') return false;
            }
        }
        if (*name == L'\0' || (*pattern != L'?' && *pattern != *name)) return false;
    }
    return *name == L'\0';
}

// What both kinds of find data hold but the name.
template <class Data>
void Describe(const struct stat& info, Data& data) {
    std::memset(&data, 0, sizeof data);
    data.dwFileAttributes =
        S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    data.ftCreationTime = FileTime(info.st_ctim);
    data.ftLastAccessTime = FileTime(info.st_atim);
    data.ftLastWriteTime = FileTime(info.st_mtim);
    const ULONGLONG size = static_cast<ULONGLONG>(info.st_size);
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size);
}

// Names data after native; false when the name is too long for it.
bool Named(const std::string& native, WIN32_FIND_DATAA& data) {
    const std::string name = AnsiName(native);
    if (name.size() >= MAX_PATH) return false;
    std::memcpy(data.cFileName, name.c_str(), name.size() + 1);
    return true;
}

bool Named(const std::string& native, WIN32_FIND_DATAW& data) {
    const std::wstring name = WideName(native);
    if (name.size() >= MAX_PATH) return false;
    std::memcpy(data.cFileName, name.c_str(), (name.size() + 1) * sizeof(WCHAR));
    return true;
}

// The next entry of search that matches and whose name fits, described in data.
template <class Data>
bool NextMatch(Search& search, Data& data) {
    while (const dirent* entry = readdir(search.directory)) {
        if (!Matches(search.pattern.c_str(), WideName(entry->d_name).c_str())) continue;
        struct stat info;
        if (stat((search.path + entry->d_name).c_str(), &info) != 0) continue;
        Describe(info, data);
        if (Named(entry->d_name, data)) return true;
    }
    return false;
}

template <class Data>
HANDLE FindFirst(const std::string& name, Data* data) {
    const size_t slash = name.rfind('/');
    const std::string path = slash == std::string::npos ? "./" : name.substr(0, slash + 1);
    Search* search = new Search{opendir(path.c_str()), path, WideName(name.substr(slash + 1))};
    if (search->directory == nullptr) {
        const int error = errno;
        delete search;
        return Fail(
            error == ENOENT || error == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(error),
            INVALID_HANDLE_VALUE);
    }
    if (!NextMatch(*search, *data)) {
        closedir(search->directory);
        delete search;
        return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    }
    std::lock_guard<std::mutex> lock(searchesMutex);
    searches.insert(search);
    return reinterpret_cast<HANDLE>(search);
}

template <class Data>
WINBOOL FindNext(HANDLE handle, Data* data) {
    Search* search = reinterpret_cast<Search*>(handle);
    {
        std::lock_guard<std::mutex> lock(searchesMutex);
        if (searches.count(search) == 0 || data == nullptr)
            return Fail(ERROR_INVALID_HANDLE, FALSE);
    }
    return NextMatch(*search, *data) ? TRUE : Fail(ERROR_NO_MORE_FILES, FALSE);
}

}  // namespace

HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
    if (lpFileName == nullptr || lpFindFileData == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    }
    return FindFirst(NativeName(lpFileName), lpFindFileData);
}

HANDLE WINAPI FindFirstFileW(LPCWSTR lpFileName, LPWIN32_FIND_DATAW lpFindFileData) {
    if (lpFileName == nullptr || lpFindFileData == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    }
    return FindFirst(NativeName(lpFileName), lpFindFileData);
}

WINBOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
    return FindNext(hFindFile, lpFindFileData);
}

WINBOOL WINAPI FindNextFileW(HANDLE hFindFile, LPWIN32_FIND_DATAW lpFindFileData) {
    return FindNext(hFindFile, lpFindFileData);
}

// Serves the searches of both kinds.
WINBOOL WINAPI FindClose(HANDLE hFindFile) {
    Search* search = reinterpret_cast<Search*>(hFindFile);
    std::lock_guard<std::mutex> lock(searchesMutex);
    if (searches.erase(search) == 0) return Fail(ERROR_INVALID_HANDLE, FALSE);
    closedir(search->directory);
    delete search;
    return TRUE;
}
