// Stand-in for <objbase.h> on systems other than Windows: COM's per-thread
// initialisation, which the shell wants before it starts a program.
#pragma once

#include <windows.h>

typedef enum tagCOINIT {
    COINIT_APARTMENTTHREADED = 0x2,
    COINIT_MULTITHREADED = 0x0,
    COINIT_DISABLE_OLE1DDE = 0x4,
    COINIT_SPEED_OVER_MEMORY = 0x8
} COINIT;

#define RPC_E_CHANGED_MODE ((HRESULT)0x80010106L)
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0L)

extern "C" {

// Counts the calls on the calling thread: S_OK for the first, S_FALSE for
// more in the same model, RPC_E_CHANGED_MODE for the other model.
HRESULT WINAPI CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
VOID WINAPI CoUninitialize(VOID);

}  // extern "C"
