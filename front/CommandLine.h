// How Quillora's command line becomes a compose request.
#pragma once

#include "text/ComposeRequest.h"
#include "text/Text.h"

// Scans argv[1..argc) for -to, -cc, -bcc, -subject, -body, -attachment and
// the flag -mailto (case ignored). An option takes the next argument as its
// value, whatever it looks like; an option given last is ignored, unknown
// arguments are skipped, and a repeated option keeps its last value. The
// body value is copied into body with each backslash-n turned into a line
// feed. Never fails.
ComposeRequest ParseCommandLine(int argc, char** argv, Text& body);
