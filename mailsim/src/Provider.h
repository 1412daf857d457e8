// The simulated client's MAPI entry points, shared by the Linux provider
// registration and the Windows provider DLL.
#pragma once

#include "mailsim/MapiNames.h"

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
// MAPIAllocateBuffer, MAPIAllocateMore and MAPIFreeBuffer as the program
// calls them: counted, open to faults, and served by the client's allocator.
SCODE AllocateBuffer(ULONG size, LPVOID* buffer);
SCODE AllocateMore(ULONG size, LPVOID object, LPVOID* buffer);
ULONG FreeBuffer(LPVOID buffer);
// The last word when the client is unloaded: the final transcript.
void Unload();

}  // namespace mailsim
