// The compose request and how Quillora's command line becomes one.
#pragma once

#include "front/Text.h"

// Six optional texts; null when the option was not given. to, cc, bcc,
// subject and attachment point into the argument vector; body points into
// the string passed to ParseCommandLine.
struct ComposeRequest {
    const char* to = nullptr;
    const char* cc = nullptr;
    const char* bcc = nullptr;
    const char* subject = nullptr;
    const char* body = nullptr;
    const char* attachment = nullptr;
};

// Scans argv[1..argc) for -to, -cc, -bcc, -subject, -body and -attachment
// (case ignored). An option takes the next argument as its value, whatever
// it looks like; an option given last is ignored, unknown arguments are
// skipped, and a repeated option keeps its last value. The body value is
// copied into body with each backslash-n turned into a line feed. Never
// fails.
ComposeRequest ParseCommandLine(int argc, char** argv, Text& body);
