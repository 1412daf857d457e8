// Test-only control of the stand-in's process: the UTF-16 command line that
// GetCommandLineW gives, as Windows may hold one that the ANSI arguments
// cannot (characters beyond the code page).
#pragma once

#include <windows.h>

// GetCommandLineW gives line from now on.
void PlatformSetCommandLineW(const WCHAR* line);
