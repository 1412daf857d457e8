// The Simple MAPI road: the request goes to the mail client's own send
// dialog through MAPISendMail.
#pragma once

#include "text/ComposeRequest.h"
#include "text/RoadFailure.h"

// Returns 0 when MAPISendMail reported success (a cancelled dialog and a
// failed logon count as success), -1 otherwise, including when MAPI32.DLL or
// its MAPISendMail is missing, and without calling it when a file to attach
// has no 8-bit path that names it. Every text of the request may be null.
// failure, when given, hears why the road failed, and any result of
// MAPISendMail other than SUCCESS_SUCCESS.
// Why the road refuses a file that no 8-bit path names (it fails as
// MAPISendMail fails for a file it cannot open, without showing a dialog).
constexpr char kNoDialogPath[] =
    "an attachment has no path in the ANSI code page, long or short (8.3), that names it: "
    "the send dialog cannot attach it (MAPI_E_ATTACHMENT_NOT_FOUND)";

int ComposeViaSimpleMapi(const ComposeRequest& request, RoadFailure* failure = nullptr);
