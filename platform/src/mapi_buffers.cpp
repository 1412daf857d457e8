// MAPIAllocateBuffer, MAPIAllocateMore, MAPIFreeBuffer, FreeProws and
// FreePadrlist of the stand-in's MAPI runtime. The provider may make an
// allocation fail, for fault-injection tests.
#include <windows.h>
#include <mapix.h>
#include <mapiutil.h>

#include "mapi_allocator.h"
#include "platform_mapi_provider.h"

namespace {

HRESULT InjectedFault(const char* function) {
    const PlatformMapiProvider* provider = PlatformGetMapiProvider();
    if (provider == nullptr || provider->injectedFault == nullptr) return S_OK;
    return provider->injectedFault(function);
}

}  // namespace

SCODE WINAPI MAPIAllocateBuffer(ULONG cbSize, LPVOID* lppBuffer) {
    const HRESULT fault = InjectedFault("MAPIAllocateBuffer");
    if (fault != S_OK) {
        if (lppBuffer != nullptr) *lppBuffer = nullptr;
        return fault;
    }
    return mapi_allocator::Allocate(cbSize, lppBuffer);
}

SCODE WINAPI MAPIAllocateMore(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer) {
    const HRESULT fault = InjectedFault("MAPIAllocateMore");
    if (fault != S_OK) {
        if (lppBuffer != nullptr) *lppBuffer = nullptr;
        return fault;
    }
    return mapi_allocator::AllocateMore(cbSize, lpObject, lppBuffer);
}

ULONG WINAPI MAPIFreeBuffer(LPVOID lpBuffer) {
    return mapi_allocator::Free(lpBuffer);
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
