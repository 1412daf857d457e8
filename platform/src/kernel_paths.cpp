// GetFileAttributesA/W and SearchPathA/W over POSIX paths.
#include <windows.h>

#include "kernel_errors.h"
#include "kernel_names.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool IsPlainFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string ProgramDirectory() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return std::string();
    const std::string program(path, static_cast<size_t>(length));
    return program.substr(0, program.rfind('/'));
}

// Where the loader looks for a library named without a directory.
std::vector<std::string> SearchDirectories(const std::string* list) {
    std::string directories = list != nullptr ? *list : std::string();
    if (list == nullptr) {
        const char* path = std::getenv("PATH");
        directories = ProgramDirectory() + ":.:" + (path != nullptr ? path : "");
    }
    std::vector<std::string> found;
    size_t start = 0;
    for (;;) {
        const size_t end = directories.find_first_of(":;", start);
        const std::string directory = directories.substr(start, end - start);
        if (!directory.empty()) found.push_back(directory);
        if (end == std::string::npos) return found;
        start = end + 1;
    }
}

DWORD Attributes(const std::string& name) {
    struct stat info;
    if (stat(name.c_str(), &info) != 0) return FailWithErrno(INVALID_FILE_ATTRIBUTES);
    return S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

// The directory (with its '/') where name (with extension if it has no dot)
// is a file, as the file system names them; false when there is none.
bool FindInDirectories(const std::string* list, std::string& name, const std::string& extension,
                       std::string& directory) {
    if (name.empty()) return false;
    if (name.find('.') == std::string::npos) name += extension;
    for (const std::string& candidate : SearchDirectories(list)) {
        directory = candidate.back() == '/' ? candidate : candidate + "/";
        if (IsPlainFile(directory + name)) return true;
    }
    return false;
}

std::string Handed(const std::string& native, char) {
    return AnsiName(native);
}

std::wstring Handed(const std::string& native, WCHAR) {
    return WideName(native);
}

template <class Char>
DWORD SearchPathOf(const Char* path, const Char* fileName, const Char* extension, DWORD size,
                   Char* buffer, Char** filePart) {
    if (fileName == nullptr) return Fail(ERROR_INVALID_PARAMETER, 0);
    const std::string list = path != nullptr ? NativeName(path) : std::string();
    std::string name = NativeName(fileName);
    std::string directory;
    if (!FindInDirectories(path != nullptr ? &list : nullptr, name,
                           extension != nullptr ? NativeName(extension) : std::string(),
                           directory)) {
        return Fail(ERROR_FILE_NOT_FOUND, 0);
    }
    const std::basic_string<Char> found = Handed(directory, Char()), file = Handed(name, Char());
    const DWORD length = DeliverName(found + file, buffer, size);
    if (length == found.size() + file.size() && filePart != nullptr) {
        *filePart = buffer + found.size();
    }
    return length;
}

}  // namespace

extern "C" DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
    if (lpFileName == nullptr) return Fail(ERROR_INVALID_PARAMETER, INVALID_FILE_ATTRIBUTES);
    return Attributes(NativeName(lpFileName));
}

extern "C" DWORD WINAPI GetFileAttributesW(LPCWSTR lpFileName) {
    if (lpFileName == nullptr) return Fail(ERROR_INVALID_PARAMETER, INVALID_FILE_ATTRIBUTES);
    return Attributes(NativeName(lpFileName));
}

// The found path's length without its terminator, or, when it does not fit,
// the buffer size it needs; 0 when nothing is found.
extern "C" DWORD APIENTRY SearchPathA(LPCSTR lpPath, LPCSTR lpFileName, LPCSTR lpExtension,
                                      DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart) {
    return SearchPathOf(lpPath, lpFileName, lpExtension, nBufferLength, lpBuffer, lpFilePart);
}

extern "C" DWORD APIENTRY SearchPathW(LPCWSTR lpPath, LPCWSTR lpFileName, LPCWSTR lpExtension,
                                      DWORD nBufferLength, LPWSTR lpBuffer, LPWSTR* lpFilePart) {
    return SearchPathOf(lpPath, lpFileName, lpExtension, nBufferLength, lpBuffer, lpFilePart);
}
