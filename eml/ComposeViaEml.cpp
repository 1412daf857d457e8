#include "eml/ComposeViaEml.h"

#include "eml/DraftFolder.h"
#include "eml/DraftMessage.h"
#include "eml/DraftOutput.h"
#include "win32/FileHandle.h"
#include "win32/ShellOpen.h"

namespace {

// Writes the draft and closes it; a close that fails may have lost data.
bool WriteDraft(FileHandle& draft, const ComposeRequest& request, HANDLE attachment,
                const SYSTEMTIME& now, RoadFailure* failure) {
    FileSink sink{draft.Get(), failure};
    DraftOutput out(FileSink::Write, &sink);
    const bool written = WriteDraftMessage(out, request, attachment, now, CP_ACP, failure);
    if (!draft.Close()) {
        NoteCall(failure, "CloseHandle", RoadFailure::Code::Win32, GetLastError());
        return false;
    }
    return written;
}

}  // namespace

int ComposeViaEml(const ComposeRequest& request, RoadFailure* failure) {
    // The attachment first: without it there is no draft to offer. Shared as
    // the other roads share it, so a file open for writing attaches as it is.
    FileHandle attachment(request.attachment == nullptr
                              ? INVALID_HANDLE_VALUE
                              : CreateFileA(request.attachment, GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (request.attachment != nullptr && !attachment.IsOpen()) {
        NoteCall(failure, "CreateFileA", RoadFailure::Code::Win32, GetLastError());
        return -1;
    }

    Text folder, path;
    if (!OpenDraftFolder(folder, failure)) return -1;
    SYSTEMTIME now;
    GetSystemTime(&now);
    FileHandle draft(CreateDraftFile(folder, now, path, failure));
    if (!draft.IsOpen()) return -1;
    if (!WriteDraft(draft, request, attachment.Get(), now, failure)) {
        DeleteFileA(path.c_str());
        return -1;
    }
    attachment.Close();

    FILETIME clock;
    GetSystemTimeAsFileTime(&clock);
    DeleteOldDrafts(folder, clock);

    // Above 32 means the program was started; lower values are error codes.
    const INT_PTR started = ShellOpen(path.c_str());
    if (started > 32) return 0;
    NoteCall(failure, "ShellExecuteA", RoadFailure::Code::Shell, static_cast<uint32_t>(started));
    DeleteFileA(path.c_str());
    return -1;
}
