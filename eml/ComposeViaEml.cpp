#include "eml/ComposeViaEml.h"

#include <windows.h>

#include "eml/DraftFolder.h"
#include "eml/DraftWriter.h"
#include "text/WideToUtf8.h"
#include "win32/FileHandle.h"
#include "win32/FileTime.h"
#include "win32/SharedRead.h"
#include "win32/ShellOpen.h"

namespace {

// The attachment, shared as the other roads share it; none without a path.
HANDLE OpenAttachment(const WCHAR* path) {
    if (path == nullptr) return INVALID_HANDLE_VALUE;
    return OpenSharedRead(path);
}

// The name the attachment is known by, in UTF-8: its path's last part, after
// any drive and directory.
bool AttachmentName(const WCHAR* path, Text& name) {
    const WCHAR* start = path[0] != 0 && path[1] == L':' ? path + 2 : path;
    for (const WCHAR* at = start; *at != 0; ++at) {
        if (*at == L'\\' || *at == L'/') start = at + 1;
    }
    return WideToUtf8(start, WideLength(start), name);
}

// The draft's path for the shell, in UTF-16.
bool WidePath(const Text& path, WCHAR* wide, int room) {
    return MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, room) > 0;
}

int Failed(RoadFailure* failure, const char* call) {
    NoteCall(failure, call, RoadFailure::Code::Win32, GetLastError());
    return -1;
}

}  // namespace

int ComposeViaEml(const ExactRequest& request, RoadFailure* failure) {
    // Without its file the draft has no form to show: the road refuses it
    // before anything is written.
    FileHandle attachment(OpenAttachment(request.attachment));
    Text name;
    if (request.attachment != nullptr) {
        if (!attachment.IsOpen()) return Failed(failure, "CreateFileW");
        if (!AttachmentName(request.attachment, name)) {
            NoteOutOfMemory(failure);
            return -1;
        }
    }

    Text folder, path;
    if (!DraftFolder(folder, failure)) return -1;
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    FileHandle draft(CreateDraftFile(folder, utc, path, failure));
    if (!draft.IsOpen()) return -1;

    const DraftAttachment part{attachment.Get(), name.c_str()};
    bool written = WriteDraft(draft.Get(), request, utc, part, failure);
    // Closed before anything else: an open file cannot be deleted, and a
    // close that fails may have lost data.
    if (!draft.Close() && written) {
        Failed(failure, "CloseHandle");
        written = false;
    }
    WCHAR widePath[MAX_PATH + 64];
    if (written && !WidePath(path, widePath, MAX_PATH + 64)) {
        Failed(failure, "MultiByteToWideChar");
        written = false;
    }
    if (!written) {
        DeleteFileA(path.c_str());
        return -1;
    }
    attachment.Close();
    DeleteOldDrafts(folder, NowTicks());

    ShellOpenFailure why;
    if (ShellOpen(widePath, why)) return 0;
    NoteShellFailure(failure, why);
    // The program may still be reading a draft it was handed by DDE: it
    // stays, for the cleanup a day later. Otherwise nothing will read it.
    if (!why.DdeFailed()) DeleteFileA(path.c_str());
    return -1;
}
