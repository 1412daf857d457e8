// COM's state on the calling thread, as the stand-in's ole32 keeps it.
#pragma once

// Whether COM is initialised on this thread, apartment-threaded.
bool PlatformComApartment();
