// The default mail client as Windows' MAPI library finds it, so that an
// opt-in road is not preceded by the system's "no mail client" message box,
// and so that the run's report can name it and its libraries.
#pragma once

#include "text/Text.h"

struct MailClientLibrary {
    Text path;           // as registered and expanded, in UTF-8; empty when none is
    bool found = false;  // the file exists (a bare name: on the search path)
};

struct MailClient {
    Text name;                   // in UTF-8; empty: no default mail client
    MailClientLibrary extended;  // DLLPathEx, the Extended MAPI library
    MailClientLibrary simple;    // DLLPath, the Simple MAPI library
};

// The default value of Software\Clients\Mail (HKCU, else HKLM, in this
// program's registry view), then that client's key (HKLM, else HKCU) and
// its DLLPathEx and DLLPath. A bare library name (no directory, such as
// "mapi32.dll") is looked for where the loader would look; path then holds
// the file found.
MailClient LookUpMailClient();
