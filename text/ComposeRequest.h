// What one run of Quillora asks for, in the two forms the roads take.
#pragma once

#include <windows.h>

// The request of the MAPI roads: six optional texts in the ANSI code page,
// null when the option was not given. The body has its line breaks.
struct ComposeRequest {
    const char* to = nullptr;
    const char* cc = nullptr;
    const char* bcc = nullptr;
    const char* subject = nullptr;
    const char* body = nullptr;
    const char* attachment = nullptr;
};

// The same request for the roads beyond MAPI (a draft file, a mailto: URL),
// whose output is UTF-8: every text in UTF-8, exactly as it was given, and
// the attachment by its UTF-16 path, so no character is lost to the code
// page.
struct ExactRequest {
    const char* to = nullptr;
    const char* cc = nullptr;
    const char* bcc = nullptr;
    const char* subject = nullptr;
    const char* body = nullptr;
    const WCHAR* attachment = nullptr;
};
