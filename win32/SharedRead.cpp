#include "win32/SharedRead.h"

#include <cstring>

#include "text/WideToUtf8.h"
#include "win32/LongPath.h"

namespace {

// Others may go on reading, writing, and even deleting or renaming it: what
// was opened stays readable whole.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE Opened(HANDLE handle, const char* call, RoadFailure* why) {
    if (handle == INVALID_HANDLE_VALUE) {
        NoteCall(why, call, RoadFailure::Code::Win32, GetLastError());
        return INVALID_HANDLE_VALUE;
    }
    return KeepDiskFile(handle, why) ? handle : INVALID_HANDLE_VALUE;
}

}  // namespace

bool KeepDiskFile(HANDLE handle, RoadFailure* why) {
    if (GetFileType(handle) == FILE_TYPE_DISK) return true;
    CloseHandle(handle);
    NoteRefusal(why, kNotADiskFile);
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
}

HANDLE OpenSharedRead(const WCHAR* path, RoadFailure* why) {
    WideText usable;
    if (!LongPathForm(path, usable)) {
        if (GetLastError() == ERROR_NOT_ENOUGH_MEMORY) {
            NoteOutOfMemory(why);
        } else {
            NoteCall(why, "GetFullPathNameW", RoadFailure::Code::Win32, GetLastError());
        }
        return INVALID_HANDLE_VALUE;
    }
    return Opened(CreateFileW(usable.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr),
                  "CreateFileW", why);
}

HANDLE OpenSharedRead(const char* path, RoadFailure* why) {
    // An 8-bit name is read in the ANSI code page, as Windows' 8-bit file calls read one.
    WideText wide;
    if (!MultiByteToWide(CP_ACP, path, std::strlen(path), wide)) {
        NoteCall(why, "MultiByteToWideChar", RoadFailure::Code::Win32, GetLastError());
        return INVALID_HANDLE_VALUE;
    }
    return OpenSharedRead(wide.c_str(), why);
}

bool Rewind(HANDLE handle) {
    LARGE_INTEGER start;
    start.QuadPart = 0;
    return SetFilePointerEx(handle, start, nullptr, FILE_BEGIN) != FALSE;
}
