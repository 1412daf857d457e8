#include "Provider.h"

#include "MapiAllocator.h"
#include "Objects.h"
#include "ReadableFile.h"
#include "Transcript.h"

namespace mailsim {

// Every entry point catches what its body throws: running out of memory
// is an error result, never an exception leaving the client.

HRESULT Initialize(LPVOID) try {
    if (HRESULT fault = EnterCall("MAPIInitialize")) return fault;
    World& world = TheWorld();
    if (world.profile.initialize != S_OK) return world.profile.initialize;
    ++world.initializations;
    return S_OK;
} catch (...) {
    return FailedCall();
}

void Uninitialize() {
    EnterCall("MAPIUninitialize");
    World& world = TheWorld();
    if (world.initializations > 0) --world.initializations;
    WriteTranscript();
}

HRESULT LogonEx(ULONG_PTR, LPSTR, LPSTR, ULONG, LPMAPISESSION* session) try {
    if (HRESULT fault = EnterCall("MAPILogonEx")) return fault;
    World& world = TheWorld();
    if (session == nullptr) return MAPI_E_INVALID_PARAMETER;
    if (world.initializations == 0) return MAPI_E_NOT_INITIALIZED;
    if (world.profile.logon != S_OK) return world.profile.logon;
    *session = NewSession();
    return S_OK;
} catch (...) {
    return FailedCall();
}

namespace {

bool AttachmentsReadable(const MapiMessage* message) {
    if (message == nullptr || message->nFileCount == 0) return true;
    if (message->lpFiles == nullptr) return false;
    for (ULONG i = 0; i < message->nFileCount; ++i) {
        if (!IsReadableRegularFile(message->lpFiles[i].lpszPathName)) return false;
    }
    return true;
}

}  // namespace

ULONG SendMail(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage message, FLAGS flags, ULONG) try {
    if (HRESULT fault = EnterCall("MAPISendMail")) {
        // Simple MAPI's own code for memory running out.
        return fault == MAPI_E_NOT_ENOUGH_MEMORY ? MAPI_E_INSUFFICIENT_MEMORY
                                                 : static_cast<ULONG>(fault);
    }
    // Like mail clients, check every attachment before showing the dialog:
    // one that cannot be read fails the call and nothing is shown.
    if (!AttachmentsReadable(message)) {
        RecordSend(session, uiParam, message, flags, MAPI_E_ATTACHMENT_NOT_FOUND, false);
        return MAPI_E_ATTACHMENT_NOT_FOUND;
    }
    const ULONG result = TheWorld().profile.simpleResult;
    RecordSend(session, uiParam, message, flags, result, true);
    return result;
} catch (...) {
    return FailedCall() == MAPI_E_NOT_ENOUGH_MEMORY ? MAPI_E_INSUFFICIENT_MEMORY : MAPI_E_FAILURE;
}

bool LibraryPresent() try {
    EnsureProfile();
    return TheWorld().profile.simpleLibrary;
} catch (...) {
    return false;
}

bool SendMailExported() try {
    EnsureProfile();
    return TheWorld().profile.simpleSendMail;
} catch (...) {
    return false;
}

void MessageBoxShown(LPCSTR caption, LPCSTR text, UINT style) try {
    EnsureProfile();
    RecordMessageBox(caption, text, style);
} catch (...) {
    // Not recorded: the box itself is the caller's.
}

SCODE AllocateBuffer(ULONG size, LPVOID* buffer) {
    if (const HRESULT fault = EnterCall("MAPIAllocateBuffer")) {
        if (buffer != nullptr) *buffer = nullptr;
        return fault;
    }
    return mapi_allocator::Allocate(size, buffer);
}

SCODE AllocateMore(ULONG size, LPVOID object, LPVOID* buffer) {
    if (const HRESULT fault = EnterCall("MAPIAllocateMore")) {
        if (buffer != nullptr) *buffer = nullptr;
        return fault;
    }
    return mapi_allocator::AllocateMore(size, object, buffer);
}

ULONG FreeBuffer(LPVOID buffer) {
    return mapi_allocator::Free(buffer);
}

void Unload() {
    WriteTranscript();
}

}  // namespace mailsim
