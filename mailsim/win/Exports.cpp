// mailsim as a Windows MAPI provider DLL: the entry points that MAPI32
// forwards to a registered mail client, with the same profile and
// transcript as natively. The final transcript is written at
// MAPIUninitialize and when the DLL is unloaded.
#include <windows.h>

#include "Provider.h"

extern "C" {

HRESULT WINAPI MAPIInitialize(LPVOID lpMapiInit) {
    return mailsim::Initialize(lpMapiInit);
}

void WINAPI MAPIUninitialize() {
    mailsim::Uninitialize();
}

HRESULT WINAPI MAPILogonEx(ULONG_PTR ulUIParam, LPSTR lpszProfileName, LPSTR lpszPassword,
                           ULONG ulFlags, LPMAPISESSION* lppSession) {
    return mailsim::LogonEx(ulUIParam, lpszProfileName, lpszPassword, ulFlags, lppSession);
}

SCODE WINAPI MAPIAllocateBuffer(ULONG cbSize, LPVOID* lppBuffer) {
    return mailsim::AllocateBuffer(cbSize, lppBuffer);
}

SCODE WINAPI MAPIAllocateMore(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer) {
    return mailsim::AllocateMore(cbSize, lpObject, lppBuffer);
}

ULONG WINAPI MAPIFreeBuffer(LPVOID lpBuffer) {
    return mailsim::FreeBuffer(lpBuffer);
}

ULONG WINAPI MAPISendMail(LHANDLE lhSession, ULONG_PTR ulUIParam, lpMapiMessage lpMessage,
                          FLAGS flFlags, ULONG ulReserved) {
    return mailsim::SendMail(lhSession, ulUIParam, lpMessage, flFlags, ulReserved);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) mailsim::Unload();
    return TRUE;
}

}  // extern "C"
