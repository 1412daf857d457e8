// The Simple MAPI road: the request goes to the mail client's own send
// dialog through MAPISendMail.
#pragma once

// Returns 0 when MAPISendMail reported success (a cancelled dialog and a
// failed logon count as success), -1 otherwise, including when MAPI32.DLL or
// its MAPISendMail is missing. Every argument may be null.
int ComposeViaSimpleMapi(const char* to, const char* cc, const char* bcc, const char* subject,
                         const char* body, const char* attachment);
