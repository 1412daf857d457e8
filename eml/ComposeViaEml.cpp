#include "eml/ComposeViaEml.h"

#include <windows.h>

#include "eml/DraftFolder.h"
#include "eml/DraftWriter.h"
#include "text/TextHelpers.h"
#include "win32/FileHandle.h"
#include "win32/ShellOpen.h"

namespace {

ULONGLONG Now() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return static_cast<ULONGLONG>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
}

// The attachment, shared as the other roads share it; none without a path.
HANDLE OpenAttachment(const char* path) {
    if (path == nullptr) return INVALID_HANDLE_VALUE;
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int Failed(RoadFailure* failure, const char* call) {
    NoteCall(failure, call, RoadFailure::Code::Win32, GetLastError());
    return -1;
}

}  // namespace

int ComposeViaEml(const ComposeRequest& request, RoadFailure* failure) {
    // Without its file the draft has no form to show: the road refuses it
    // before anything is written.
    FileHandle attachment(OpenAttachment(request.attachment));
    Text name;
    char displayName[kDisplayNameSize] = "";
    if (request.attachment != nullptr) {
        if (!attachment.IsOpen()) return Failed(failure, "CreateFileA");
        AttachmentDisplayName(request.attachment, displayName);
        if (displayName[0] == '\0' && !AttachmentFileName(request.attachment, name)) {
            NoteRefusal(failure, "no memory for the attachment's name");
            return -1;
        }
    }

    Text folder, path;
    if (const char* failedCall = DraftFolder(folder)) return Failed(failure, failedCall);
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    FileHandle draft(CreateDraftFile(folder, utc, path));
    if (!draft.IsOpen()) return Failed(failure, "CreateFileA");

    const DraftAttachment part{attachment.Get(),
                               displayName[0] != '\0' ? displayName : name.c_str()};
    bool written = WriteDraft(draft.Get(), request, utc, part, failure);
    // Closed before anything else: an open file cannot be deleted, and a
    // close that fails may have lost data.
    if (!draft.Close() && written) {
        Failed(failure, "CloseHandle");
        written = false;
    }
    if (!written) {
        DeleteFileA(path.c_str());
        return -1;
    }
    attachment.Close();
    DeleteOldDrafts(folder, Now());

    const INT_PTR started = ShellOpen(path.c_str());
    if (started > 32) return 0;
    // Nothing will read the draft: it goes, and the next road may run.
    NoteCall(failure, "ShellExecuteA", RoadFailure::Code::Shell, static_cast<uint32_t>(started));
    DeleteFileA(path.c_str());
    return -1;
}
