// GetFileAttributesA and SearchPathA over POSIX paths.
#include <windows.h>

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
std::vector<std::string> SearchDirectories(LPCSTR lpPath) {
    std::string list;
    if (lpPath != nullptr) {
        list = lpPath;
    } else {
        const char* path = std::getenv("PATH");
        list = ProgramDirectory() + ":.:" + (path != nullptr ? path : "");
    }
    std::vector<std::string> directories;
    size_t start = 0;
    for (;;) {
        const size_t end = list.find_first_of(":;", start);
        const std::string directory = list.substr(start, end - start);
        if (!directory.empty()) directories.push_back(directory);
        if (end == std::string::npos) return directories;
        start = end + 1;
    }
}

}  // namespace

extern "C" DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
    struct stat info;
    if (lpFileName == nullptr || stat(lpFileName, &info) != 0) return INVALID_FILE_ATTRIBUTES;
    return S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

// The found path's length without its terminator, or, when it does not fit,
// the buffer size it needs; 0 when nothing is found.
extern "C" DWORD APIENTRY SearchPathA(LPCSTR lpPath, LPCSTR lpFileName, LPCSTR lpExtension,
                                      DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart) {
    if (lpFileName == nullptr || *lpFileName == '\0') return 0;
    std::string name = lpFileName;
    if (lpExtension != nullptr && name.find('.') == std::string::npos) name += lpExtension;
    for (const std::string& directory : SearchDirectories(lpPath)) {
        const std::string candidate = directory + "/" + name;
        if (!IsPlainFile(candidate)) continue;
        const DWORD length = static_cast<DWORD>(candidate.size());
        if (lpBuffer == nullptr || nBufferLength <= length) return length + 1;
        candidate.copy(lpBuffer, length);
        lpBuffer[length] = '\0';
        if (lpFilePart != nullptr) lpFilePart[0] = lpBuffer + directory.size() + 1;
        return length;
    }
    return 0;
}
