// The opt-in road of last resort: the request's mailto: URL, opened with the
// handler the user has registered for mailto: links.
#pragma once

#include "text/ComposeRequest.h"
#include "text/RoadFailure.h"

// 0 when the handler was started, -1 otherwise: for a request with an
// attachment (a mailto: link cannot carry a file), a URL over
// kMailtoUrlLimit characters, or no handler. The shell is reached through
// win32/ShellOpen, which loads it by name, so the program's imports stay
// those of the MAPI roads.
// failure, when given, hears why the road failed.
int ComposeViaMailto(const ComposeRequest& request, RoadFailure* failure = nullptr);
