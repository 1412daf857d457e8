// Test-only control of the stand-in's process: the UTF-16 command line that
// GetCommandLineW gives, as Windows may hold one that the ANSI arguments
// cannot (characters beyond the code page), and the ANSI code page.
#pragma once

#include <windows.h>

// GetCommandLineW gives line from now on.
void PlatformSetCommandLineW(const WCHAR* line);

// GetACP and every CP_ACP conversion use codePage from now on: 1252 (the
// stand-in's own), 932 or 65001. false, and nothing changes, for another.
bool PlatformSetAnsiCodePage(UINT codePage);
