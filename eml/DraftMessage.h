// A compose request as a draft message (RFC 5322 with MIME): the headers a
// mail app opens as a new unsent message (X-Unsent: 1, no From), the text as
// a UTF-8 part, and the attachment, when there is one, as a base64 part.
// CR LF ends every line, and no line is longer than 998 octets.
#pragma once

#include <windows.h>

#include "eml/DraftOutput.h"
#include "text/ComposeRequest.h"
#include "text/RoadFailure.h"

// Writes the whole message to out (and flushes it). attachment is the open
// file of request.attachment, or INVALID_HANDLE_VALUE when there is none;
// its bytes are read to the end. date (UTC) is the Date header. Text is
// read in codePage. false when text cannot be converted, memory runs out,
// the attachment cannot be read or the output fails; failure says which.
bool WriteDraftMessage(DraftOutput& out, const ComposeRequest& request, HANDLE attachment,
                       const SYSTEMTIME& date, UINT codePage, RoadFailure* failure);
