// COM's state on the calling thread, as the stand-in's ole32 keeps it.
#pragma once

#include <windows.h>

// Whether COM is initialised on this thread, apartment-threaded.
bool PlatformComApartment();
// The flags COM was initialised with on this thread, 0 when it is not.
DWORD PlatformComFlags();
