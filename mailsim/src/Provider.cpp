#include "Provider.h"

#include "MapiAllocator.h"
#include "Objects.h"
#include "Transcript.h"

namespace mailsim {

HRESULT Initialize(LPVOID) {
    if (HRESULT fault = EnterCall("MAPIInitialize")) return fault;
    World& world = TheWorld();
    if (world.profile.initialize != S_OK) return world.profile.initialize;
    ++world.initializations;
    return S_OK;
}

void Uninitialize() {
    EnterCall("MAPIUninitialize");
    World& world = TheWorld();
    if (world.initializations > 0) --world.initializations;
    WriteTranscript();
}

HRESULT LogonEx(ULONG_PTR, LPSTR, LPSTR, ULONG, LPMAPISESSION* session) {
    if (HRESULT fault = EnterCall("MAPILogonEx")) return fault;
    World& world = TheWorld();
    if (session == nullptr) return MAPI_E_INVALID_PARAMETER;
    if (world.initializations == 0) return MAPI_E_NOT_INITIALIZED;
    if (world.profile.logon != S_OK) return world.profile.logon;
    *session = NewSession();
    return S_OK;
}

ULONG SendMail(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage message, FLAGS flags, ULONG) {
    if (HRESULT fault = EnterCall("MAPISendMail")) return static_cast<ULONG>(fault);
    const ULONG result = TheWorld().profile.simpleResult;
    RecordSend(session, uiParam, message, flags, result);
    return result;
}

bool LibraryPresent() {
    EnsureProfile();
    return TheWorld().profile.simpleLibrary;
}

bool SendMailExported() {
    EnsureProfile();
    return TheWorld().profile.simpleSendMail;
}

void MessageBoxShown(LPCSTR caption, LPCSTR text, UINT style) {
    EnsureProfile();
    RecordMessageBox(caption, text, style);
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
