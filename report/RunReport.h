// The plain-text report of one run that -log appends to a file: what was
// asked (in counts, never its words), what the machine offers, what each
// road did and the exit code.
#pragma once

#include <windows.h>

#include "request/BodyText.h"
#include "front/ComposeDispatch.h"
#include "text/ComposeRequest.h"
#include "text/Text.h"

// Everything the report says about this run beyond the request itself.
struct RunFacts {
    const DispatchReport* dispatch = nullptr;  // null: no road ran
    const BodyFileFacts* bodyFile = nullptr;   // null: the body did not come from a file
    size_t notInCodePage = 0;                  // typed characters the ANSI code page lacks
    bool outOfMemory = false;                  // no memory for the request: no road ran
    bool eml = false;
    bool mailto = false;
    bool files = false;  // -files: the report lists every file
    int exitCode = -1;
};

// Appends the report, in UTF-8, to the file at path (UTF-16, as typed),
// creating it when missing (with UTF-8's byte order mark first); opened for
// appending and shared, so that runs may log to the same file. A log that
// cannot be written is let go: it never changes what the run does.
void AppendRunReport(const WCHAR* path, const ComposeRequest& request, const RunFacts& facts);

// Appends UTF-8 text with each control and bidirectional formatting
// character as <U+XXXX>; false when memory runs out.
bool AppendEscaped(const char* utf8, Text& out);
