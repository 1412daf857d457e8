// The Extended MAPI road whole: MAPI started, the default profile logged on
// and its default store opened, the Drafts compose, then everything given
// back and MAPI stopped again.
#pragma once

#include "text/ComposeRequest.h"
#include "text/RoadFailure.h"

// Returns what ComposeViaDrafts returns, or -1 when MAPI could not be
// started, logged on to or its default store opened. Every text of the
// request may be null. failure, when given, hears the first call that
// failed the road, or why it refused.
// attached, when given, hears which files the message carries, as
// ComposeViaDrafts says.
int ComposeViaExtendedMapi(const ComposeRequest& request, RoadFailure* failure = nullptr,
                           bool* attached = nullptr);
