// How Quillora's command line becomes a compose request.
#pragma once

#include "text/ComposeRequest.h"
#include "text/Text.h"

// Scans argv[1..argc) for -to, -cc, -bcc, -subject, -body, -attachment,
// -bodyfile and -log, and the flags -mailto and -eml (case ignored). An option takes the next
// argument as its value, whatever it looks like; an option given last is
// ignored, unknown arguments are skipped, and a repeated option keeps its
// last value. The body value is copied into body with each backslash-n
// turned into a line feed. -body and -bodyfile set the same body: the last
// one given wins, and a winning -bodyfile leaves body null and its path in
// bodyFile for the caller to read. Never fails.
ComposeRequest ParseCommandLine(int argc, char** argv, Text& body);
