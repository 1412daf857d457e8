// How the stand-in's MAPI runtime, module loader and message box reach the
// MAPI provider (the simulated mail client) on systems other than Windows.
// On Windows the same roles are played by MAPI32.DLL and the provider DLL
// that it loads; nothing of Quillora's own code includes this header.
#pragma once

#include <windows.h>
#include <mapi.h>

struct IMAPISession;

struct PlatformMapiProvider {
    // Extended MAPI entry points that MAPI32 forwards to the provider.
    HRESULT (*initialize)(LPVOID lpMapiInit);
    void (*uninitialize)();
    HRESULT(*logonEx)
    (ULONG_PTR ulUIParam, LPSTR lpszProfileName, LPSTR lpszPassword, ULONG flFlags,
     IMAPISession** lppSession);
    // Simple MAPI send dialog.
    ULONG(*sendMail)
    (LHANDLE lhSession, ULONG_PTR ulUIParam, lpMapiMessage lpMessage, FLAGS flFlags,
     ULONG ulReserved);
    // Whether "MAPI32.DLL" can be loaded by name, and whether it exports
    // "MAPISendMail": a profile can take either away.
    bool (*libraryPresent)();
    bool (*sendMailExported)();
    // A message box was shown (caption, text, style).
    void (*messageBox)(LPCSTR lpCaption, LPCSTR lpText, UINT uType);
    // The MAPI buffer allocator: MAPI32 forwards MAPIAllocateBuffer,
    // MAPIAllocateMore and MAPIFreeBuffer to the provider, which keeps the
    // blocks and their accounting (and may make an allocation fail).
    SCODE (*allocateBuffer)(ULONG cbSize, LPVOID* lppBuffer);
    SCODE (*allocateMore)(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer);
    ULONG (*freeBuffer)(LPVOID lpBuffer);
};

// Installs the provider (null removes it). Without one, MAPIInitialize,
// MAPILogonEx and MAPIAllocateBuffer/More fail, "MAPI32.DLL" does not
// load, and message boxes only reach standard error.
void PlatformSetMapiProvider(const PlatformMapiProvider* provider);
const PlatformMapiProvider* PlatformGetMapiProvider();
