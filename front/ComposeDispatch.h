// Puts a compose request in front of the user: first as a draft shown in
// the mail client's form (Extended MAPI), and only if that does not succeed
// through the client's Simple MAPI send dialog; with -mailto, when both
// fail, as a mailto: URL opened by the registered link handler.
#pragma once

#include "front/CommandLine.h"

// Returns the result of the last road tried: 0 for success, -1 for failure.
int ComposeDispatch(const ComposeRequest& request);
