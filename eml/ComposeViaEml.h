// The opt-in draft-file road: the request written as a message file with
// "X-Unsent: 1" and opened by the program registered for .eml files, which
// (Outlook, new and classic) shows it as a new message ready to send.
#pragma once

#include "text/ComposeRequest.h"
#include "text/RoadFailure.h"

// 0 when the registered program was started. -1, with nothing opened and no
// draft left behind, when the attachment cannot be opened, the draft cannot
// be written, or no program is registered for .eml files; failure, when
// given, hears why. shell32 is loaded by name only here, so the program's
// imports stay those of the MAPI roads.
int ComposeViaEml(const ComposeRequest& request, RoadFailure* failure = nullptr);
