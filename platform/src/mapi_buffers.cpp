// MAPIAllocateBuffer, MAPIAllocateMore, MAPIFreeBuffer, FreeProws and
// FreePadrlist of the stand-in's MAPI runtime. The buffers are the
// provider's: the calls forward to it, as MAPI32 forwards them to the
// provider DLL. Without a provider nothing can be allocated.
#include <windows.h>
#include <mapix.h>
#include <mapiutil.h>

#include "platform_mapi_provider.h"

SCODE WINAPI MAPIAllocateBuffer(ULONG cbSize, LPVOID* lppBuffer) {
    const PlatformMapiProvider* provider = PlatformGetMapiProvider();
    if (provider == nullptr || provider->allocateBuffer == nullptr) {
        if (lppBuffer != nullptr) *lppBuffer = nullptr;
        return MAPI_E_NOT_INITIALIZED;
    }
    return provider->allocateBuffer(cbSize, lppBuffer);
}

SCODE WINAPI MAPIAllocateMore(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer) {
    const PlatformMapiProvider* provider = PlatformGetMapiProvider();
    if (provider == nullptr || provider->allocateMore == nullptr) {
        if (lppBuffer != nullptr) *lppBuffer = nullptr;
        return MAPI_E_NOT_INITIALIZED;
    }
    return provider->allocateMore(cbSize, lpObject, lppBuffer);
}

ULONG WINAPI MAPIFreeBuffer(LPVOID lpBuffer) {
    if (lpBuffer == nullptr) return S_OK;
    const PlatformMapiProvider* provider = PlatformGetMapiProvider();
    // Nothing was allocated without a provider, so there is nothing to free.
    if (provider == nullptr || provider->freeBuffer == nullptr)
        return static_cast<ULONG>(MAPI_E_INVALID_PARAMETER);
    return provider->freeBuffer(lpBuffer);
}

void FreeProws(LPSRowSet lpRows) {
    if (lpRows == nullptr) return;
    for (ULONG i = 0; i < lpRows->cRows; ++i) MAPIFreeBuffer(lpRows->aRow[i].lpProps);
    MAPIFreeBuffer(lpRows);
}

void FreePadrlist(LPADRLIST lpAdrlist) {
    if (lpAdrlist == nullptr) return;
    for (ULONG i = 0; i < lpAdrlist->cEntries; ++i) {
        MAPIFreeBuffer(lpAdrlist->aEntries[i].rgPropVals);
    }
    MAPIFreeBuffer(lpAdrlist);
}
