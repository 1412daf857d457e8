// A Simple MAPI message built in memory and handed to MAPISendMail, which
// is looked up at run time in MAPI32.DLL loaded by name.
#pragma once

#include <windows.h>
#include <mapi.h>

#include <cstdint>

#include "text/RecipientKind.h"
#include "text/Text.h"
#include "win32/LoadedLibrary.h"

enum class SimpleMapiError : int32_t {
    NoError = 0,
    LibraryNotLoaded = 1,     // "MAPI32.DLL" cannot be loaded
    EntryPointMissing = 2,    // the library has no export "MAPISendMail"
    RecipientsNotGrown = 3,   // a recipient could not be added
    AttachmentsNotGrown = 4,  // an attachment could not be added
};

// Usage: construct, TakeLastError, add recipients and attachments, set the
// subject (message.lpszSubject, not copied) and noteText, Send at most once,
// destroy. Each object loads MAPI32.DLL by name and frees it when destroyed.
class SimpleMapiMail {
public:
    SimpleMapiMail();
    ~SimpleMapiMail();
    SimpleMapiMail(const SimpleMapiMail&) = delete;
    SimpleMapiMail& operator=(const SimpleMapiMail&) = delete;

    // Returns the last failure and resets it to NoError.
    SimpleMapiError TakeLastError();
    // Appends a recipient with a copy of name and class kind, and "SMTP:" and
    // address when the entry holds one ("bob@x.org", "Jo <jo@x.org>").
    bool AddRecipient(const char* name, RecipientKind kind, const char* address = nullptr);
    // Appends an attachment with copies of path and displayName (may be null).
    bool AddAttachment(const char* path, const char* displayName);
    // Places each attachment on its own space after the note text, calls
    // MAPISendMail with flags | MAPI_LOGON_UI and frees the copies. True for
    // SUCCESS_SUCCESS, MAPI_USER_ABORT and MAPI_E_LOGIN_FAILURE.
    bool Send(FLAGS flags);

    MapiMessage message;
    MapiRecipDesc originator;
    SimpleMapiError lastError;
    Text noteText;
    LPMAPISENDMAIL sendEntry;
    // What MAPISendMail returned (MAPI_E_FAILURE until it is called).
    ULONG sendResult;

private:
    void FreeCopies();
    // Frees the copies made for a record that cannot be added, notes error
    // and returns false.
    bool Refuse(SimpleMapiError error, char* copy = nullptr, char* otherCopy = nullptr);

    LoadedLibrary library;
};
