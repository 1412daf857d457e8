#include "ReadableFile.h"

#include <windows.h>

namespace mailsim {

bool IsReadableRegularFile(const char* path) {
    if (path == nullptr || *path == '\0') return false;
    // Directories do not open without backup semantics; devices and pipes
    // open but are no disk files.
    const HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool regular = GetFileType(file) == FILE_TYPE_DISK;
    CloseHandle(file);
    return regular;
}

}  // namespace mailsim
