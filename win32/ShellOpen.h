// Opening a URL or a file with the program the user has registered for it.
#pragma once

#include <windows.h>

// ShellExecuteA(verb "open") on target, with shell32 loaded by name only for
// the call, so the programs' imports stay as they are. Returns what
// ShellExecuteA returned (above 32: started; otherwise an SE_ERR_ or
// ERROR_ code), or 0 when shell32 or its ShellExecuteA cannot be had.
INT_PTR ShellOpen(const char* target);
