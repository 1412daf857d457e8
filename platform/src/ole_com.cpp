// CoInitializeEx / CoUninitialize: a count per thread and the model of the
// first call, which is all the shell needs to know.
#include <windows.h>
#include <objbase.h>

#include "com_state.h"
#include "platform_process_testing.h"

namespace {

thread_local unsigned initialized = 0;
thread_local DWORD model = 0;
thread_local DWORD flags = 0;  // of the call that initialised

constexpr DWORD kModelBits = COINIT_APARTMENTTHREADED;

}  // namespace

extern "C" HRESULT WINAPI CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit) {
    if (pvReserved != nullptr) return E_INVALIDARG;
    if (initialized != 0 && (dwCoInit & kModelBits) != model) return RPC_E_CHANGED_MODE;
    model = dwCoInit & kModelBits;
    if (initialized == 0) flags = dwCoInit;
    return ++initialized == 1 ? S_OK : S_FALSE;
}

extern "C" VOID WINAPI CoUninitialize(VOID) {
    if (initialized != 0) --initialized;
}

bool PlatformComApartment() {
    return initialized != 0 && model == COINIT_APARTMENTTHREADED;
}

DWORD PlatformComFlags() {
    return initialized != 0 ? flags : 0;
}

unsigned PlatformComInitializations() {
    return initialized;
}
