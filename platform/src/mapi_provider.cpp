// The installed MAPI provider (the simulated mail client), and the MAPI
// entry points that the stand-in's MAPI32 forwards to it.
#include <windows.h>
#include <mapix.h>
#include <mapi.h>

#include <atomic>

#include "platform_mapi_provider.h"

namespace {

std::atomic<const PlatformMapiProvider*> installed{nullptr};

}  // namespace

void PlatformSetMapiProvider(const PlatformMapiProvider* provider) {
    installed.store(provider);
}

const PlatformMapiProvider* PlatformGetMapiProvider() {
    return installed.load();
}

HRESULT WINAPI MAPIInitialize(LPVOID lpMapiInit) {
    const PlatformMapiProvider* provider = PlatformGetMapiProvider();
    if (provider == nullptr || provider->initialize == nullptr) return MAPI_E_NOT_INITIALIZED;
    return provider->initialize(lpMapiInit);
}

void WINAPI MAPIUninitialize() {
    const PlatformMapiProvider* provider = PlatformGetMapiProvider();
    if (provider != nullptr && provider->uninitialize != nullptr) provider->uninitialize();
}

HRESULT WINAPI MAPILogonEx(ULONG_PTR ulUIParam, LPTSTR lpszProfileName, LPTSTR lpszPassword,
                           ULONG ulFlags, LPMAPISESSION* lppSession) {
    const PlatformMapiProvider* provider = PlatformGetMapiProvider();
    if (provider == nullptr || provider->logonEx == nullptr) {
        if (lppSession != nullptr) *lppSession = nullptr;
        return MAPI_E_NOT_INITIALIZED;
    }
    return provider->logonEx(ulUIParam, lpszProfileName, lpszPassword, ulFlags, lppSession);
}

ULONG WINAPI MAPISendMail(LHANDLE lhSession, ULONG_PTR ulUIParam, lpMapiMessage lpMessage,
                          FLAGS flFlags, ULONG ulReserved) {
    const PlatformMapiProvider* provider = PlatformGetMapiProvider();
    if (provider == nullptr || provider->sendMail == nullptr) return MAPI_E_FAILURE;
    return provider->sendMail(lhSession, ulUIParam, lpMessage, flFlags, ulReserved);
}
