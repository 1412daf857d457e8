// Writes a draft message file: the header fields, the text as a UTF-8
// text/plain part, and each file to attach as a base64 part of a
// multipart/mixed message, read and encoded a chunk at a time so that
// memory stays flat whatever their number and size. CR LF ends every line.
#pragma once

#include <windows.h>

#include "text/ComposeRequest.h"
#include "text/RoadFailure.h"

// The attachment to write, already open for reading, and the name it is
// known by (UTF-8).
struct DraftAttachment {
    HANDLE file = INVALID_HANDLE_VALUE;
    const char* name = nullptr;
};

// Writes the draft of request to draft (open for writing), with count
// attachments, in order. false, with the call that failed and its error
// noted in failure, when a read or write fails or memory runs out.
bool WriteDraft(HANDLE draft, const ComposeRequest& request, const SYSTEMTIME& utc,
                const DraftAttachment* attachments, size_t count, RoadFailure* failure);
