// What one run of Quillora asks for: the request every road takes.
#pragma once

// Six optional texts; null when the option was not given. to, cc, bcc,
// subject and attachment point into the argument vector; body points into
// the string the command line's body was copied to.
struct ComposeRequest {
    const char* to = nullptr;
    const char* cc = nullptr;
    const char* bcc = nullptr;
    const char* subject = nullptr;
    const char* body = nullptr;
    const char* attachment = nullptr;
    // The -bodyfile path when that was the last body option; body stays null
    // until the file has been read into the body string.
    const char* bodyFile = nullptr;
    // -mailto: after both MAPI roads failed, try the mailto: URL.
    bool mailto = false;
    // -eml: after both MAPI roads failed, try a draft message file (before
    // the mailto: URL).
    bool eml = false;
    // -log: the file this run's report is appended to; null for none.
    const char* logPath = nullptr;
};
