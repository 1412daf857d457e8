// The simulated client's MAPI entry points, shared by the Linux provider
// registration and the Windows provider DLL.
#pragma once

#include "mapi/MapiPlatform.h"

namespace mailsim {

HRESULT Initialize(LPVOID mapiInit);
void Uninitialize();
HRESULT LogonEx(ULONG_PTR uiParam, LPSTR profileName, LPSTR password, ULONG flags,
                LPMAPISESSION* session);
ULONG SendMail(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage message, FLAGS flags,
               ULONG reserved);
bool LibraryPresent();
bool SendMailExported();
void MessageBoxShown(LPCSTR caption, LPCSTR text, UINT style);
// A fault injected for a runtime function ("MAPIAllocateBuffer"), or S_OK.
HRESULT InjectedFault(const char* function);
// The last word when the client is unloaded: the final transcript.
void Unload();

}  // namespace mailsim
