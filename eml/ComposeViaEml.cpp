#include "eml/ComposeViaEml.h"

#include <windows.h>

#include "eml/DraftFolder.h"
#include "eml/DraftWriter.h"
#include "text/HeapBlock.h"
#include "win32/FileHandle.h"
#include "win32/FileTime.h"
#include "win32/SharedRead.h"
#include "win32/ShellOpen.h"

namespace {

int Failed(RoadFailure* failure, const char* call) {
    NoteCall(failure, call, RoadFailure::Code::Win32, GetLastError());
    return -1;
}

}  // namespace

int ComposeViaEml(const ComposeRequest& request, RoadFailure* failure) {
    // Without one of its files the draft would be another message: the road
    // refuses it before anything is written.
    const size_t count = request.AttachmentCount();
    HeapBlock block(count * sizeof(DraftAttachment));
    auto* parts = static_cast<DraftAttachment*>(block.get());
    if (count != 0 && parts == nullptr) {
        NoteOutOfMemory(failure);
        return -1;
    }
    for (size_t i = 0; i < count; ++i) {
        const AttachedFile& file = request.Attachment(i);
        if (!file.IsOpen()) {
            NoteFailure(failure, file.opening);
            return -1;
        }
        if (!Rewind(file.file)) return Failed(failure, "SetFilePointerEx");
        parts[i] = DraftAttachment{file.file, file.name};
    }

    WideText folder, path;
    if (!DraftFolder(folder, failure)) return -1;
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    FileHandle draft(CreateDraftFile(folder, utc, path, failure));
    if (!draft.IsOpen()) return -1;

    bool written = WriteDraft(draft.Get(), request, utc, parts, count, failure);
    // Closed before anything else: an open file cannot be deleted, and a
    // close that fails may have lost data.
    if (!draft.Close() && written) {
        Failed(failure, "CloseHandle");
        written = false;
    }
    if (!written) {
        DeleteDraft(path);
        return -1;
    }
    DeleteOldDrafts(folder, NowTicks());

    ShellOpenFailure why;
    if (ShellOpen(path.c_str(), why)) return 0;
    NoteShellFailure(failure, why);
    // The program may still be reading a draft it was handed by DDE: it
    // stays, for the cleanup a day later. Otherwise nothing will read it.
    if (!why.DdeFailed()) DeleteDraft(path);
    return -1;
}
