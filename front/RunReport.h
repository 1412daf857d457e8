// The plain-text report of one run that -log appends to a file: what was
// asked (in counts, never its words), what the machine offers, what each
// road did and the exit code.
#pragma once

#include "front/BodyText.h"
#include "front/ComposeDispatch.h"
#include "front/ResolvedRequest.h"
#include "text/ComposeRequest.h"

// Everything the report says about this run beyond the request itself.
struct RunFacts {
    const DispatchReport* dispatch = nullptr;    // null: no road ran
    const BodyFileFacts* bodyFile = nullptr;     // null: the body did not come from a file
    const ExactTextFacts* exactText = nullptr;   // null: not asked for
    const ExactRequest* exactRequest = nullptr;  // null: none
    bool eml = false;
    bool mailto = false;
    int exitCode = -1;
};

// Appends the report to the file at path, creating it when missing; opened
// for appending and shared, so that runs may log to the same file. A log
// that cannot be written is let go: it never changes what the run does.
void AppendRunReport(const char* path, const ComposeRequest& request, const RunFacts& facts);
