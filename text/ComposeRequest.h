// What one run of Quillora asks for: every text exactly as it was typed, and
// the MAPI roads' 8-bit view of the same request, made from it.
#pragma once

#include <windows.h>

#include <cstddef>

#include "text/RecipientKind.h"
#include "text/RoadFailure.h"

// A file to attach, named by its path as typed and opened once, for every
// road and the report.
struct AttachedFile {
    const WCHAR* path = nullptr;
    // Open for shared reading; INVALID_HANDLE_VALUE when it could not be, and
    // opening then says why (the call that failed, or a refusal).
    HANDLE file = INVALID_HANDLE_VALUE;
    RoadFailure opening;
    const char* name = nullptr;      // the path's last part, in UTF-8
    const char* ansiName = nullptr;  // the same in the ANSI code page: its 8-bit label
    // The ANSI label when it is a file name with an extension that fits the
    // MAPI roads' 260-byte names; null when it is not, and the client then
    // names the file after its path.
    const char* displayName = nullptr;

    bool IsOpen() const { return file != INVALID_HANDLE_VALUE; }
};

// One recipient as the MAPI roads take it: the entry in the ANSI code page,
// and the address it holds (read from the entry as typed), or null.
struct AnsiRecipient {
    RecipientKind kind;
    const char* name;
    const char* address;
};

struct ComposeRequest {
    // As typed, in UTF-8; null when the option was not given. The recipient
    // lists are ";"-separated, the body has its line breaks.
    const char* to = nullptr;
    const char* cc = nullptr;
    const char* bcc = nullptr;
    const char* subject = nullptr;
    const char* body = nullptr;
    const AttachedFile* attachment = nullptr;
    // More files to attach (-files), after the attachment, in order.
    const AttachedFile* files = nullptr;
    size_t fileCount = 0;

    // The MAPI roads' view, in the ANSI code page: every recipient of To, Cc
    // and Bcc in that order, each list in its own order; the subject and
    // body (null where not given).
    const AnsiRecipient* recipients = nullptr;
    size_t recipientCount = 0;
    const char* ansiSubject = nullptr;
    const char* ansiBody = nullptr;

    // Every file to attach, in order: the attachment first, then the files.
    size_t AttachmentCount() const { return (attachment != nullptr ? 1 : 0) + fileCount; }
    const AttachedFile& Attachment(size_t i) const {
        if (attachment == nullptr) return files[i];
        return i == 0 ? *attachment : files[i - 1];
    }
};
