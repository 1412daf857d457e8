// The opt-in draft-file road: the request written as a draft message file
// (X-Unsent: 1, so mail apps open it as a new message ready to send) and
// opened with the program registered for .eml files.
#pragma once

#include "text/ComposeRequest.h"
#include "text/RoadFailure.h"

// 0 when the registered program was started, -1 otherwise: for an
// attachment that cannot be opened or read, a draft that cannot be written,
// or no program registered. On -1 no draft is left behind and nothing is
// opened. shell32 is loaded by name only here, so the program's imports
// stay those of the MAPI roads. failure, when given, hears why.
int ComposeViaEml(const ComposeRequest& request, RoadFailure* failure = nullptr);
