// The opt-in draft-file road: the request written as a message file with
// "X-Unsent: 1" and opened by the program registered for .eml files, which
// (Outlook, new and classic) shows it as a new message ready to send.
#pragma once

#include "text/ComposeRequest.h"
#include "text/RoadFailure.h"

// 0 when the registered program was started. -1, with nothing opened and no
// draft left behind, when a file to attach cannot be opened, the draft
// cannot be written, or no program is registered for .eml files; -1 with the draft
// kept when the program was reached by DDE and the conversation failed, as
// it may still read the draft. failure, when given, hears why.
int ComposeViaEml(const ComposeRequest& request, RoadFailure* failure = nullptr);
