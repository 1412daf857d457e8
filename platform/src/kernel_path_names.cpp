// GetShortPathNameW and GetFullPathNameW on a POSIX file system.
#include <windows.h>

#include "kernel_errors.h"
#include "kernel_names.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

namespace {

std::wstring CurrentDirectory() {
    std::vector<char> path(4096);
    while (getcwd(path.data(), path.size()) == nullptr) {
        if (errno != ERANGE) return L"/";
        path.resize(path.size() * 2);
    }
    return WideName(path.data());
}

// name made absolute, with "." and ".." taken away as Windows does, by the
// text alone: ".." above the root stays at the root, and a trailing '/'
// stays where a last part follows none.
std::wstring FullPath(const std::wstring& name) {
    const std::wstring whole = name[0] == L'/' ? name : CurrentDirectory() + L"/" + name;
    std::vector<std::wstring> parts;
    size_t start = 0;
    bool endsInSeparator = false;
    while (start <= whole.size()) {
        const size_t end = std::min(whole.find(L'/', start), whole.size());
        const std::wstring part = whole.substr(start, end - start);
        endsInSeparator = part.empty() && end == whole.size();
        if (part == L"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::wstring full;
    for (const std::wstring& part : parts) full += L"/" + part;
    if (full.empty() || endsInSeparator) full += L"/";
    return full;
}

}  // namespace

// On a volume without 8.3 names the short form of an existing path is the
// path as given.
DWORD WINAPI GetShortPathNameW(LPCWSTR lpszLongPath, LPWSTR lpszShortPath, DWORD cchBuffer) {
    if (lpszLongPath == nullptr) return Fail(ERROR_INVALID_PARAMETER, 0);
    if (lpszLongPath[0] == 0) return Fail(ERROR_BAD_PATHNAME, 0);
    const std::wstring path = lpszLongPath;  // the buffers may be one
    const std::string native = NativeName(path.c_str());
    struct stat info;
    if (stat(native.c_str(), &info) != 0) {
        if (errno != ENOENT) return FailWithErrno(0);
        // Missing: the file, or a directory on the way to it.
        const size_t slash = native.rfind('/');
        const std::string parent = slash == std::string::npos ? "." : native.substr(0, slash + 1);
        const bool inDirectory = stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        return Fail(inDirectory ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND, 0);
    }
    return DeliverName(path, lpszShortPath, cchBuffer);
}

// lpFilePart, when given, points at the last part in lpBuffer, or is null
// where the path ends in a separator or does not fit.
DWORD WINAPI GetFullPathNameW(LPCWSTR lpFileName, DWORD nBufferLength, LPWSTR lpBuffer,
                              LPWSTR* lpFilePart) {
    if (lpFileName == nullptr) return Fail(ERROR_INVALID_PARAMETER, 0);
    if (lpFileName[0] == 0) return Fail(ERROR_INVALID_NAME, 0);
    const std::wstring full = FullPath(lpFileName);
    const DWORD length = DeliverName(full, lpBuffer, nBufferLength);
    if (lpFilePart != nullptr) {
        const bool fits = length == full.size();
        *lpFilePart = fits && full.back() != L'/' ? lpBuffer + full.rfind(L'/') + 1 : nullptr;
    }
    return length;
}
