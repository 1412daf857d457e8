// Stand-in for <shellapi.h> on systems other than Windows: ShellExecuteA and
// its error results. For a URL it starts the desktop's handler for the
// URL's scheme (see platform/src/shell_execute.cpp).
#pragma once

#include <windows.h>

#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_NOASSOC 31

extern "C" {

HINSTANCE WINAPI ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                               LPCSTR lpDirectory, INT nShowCmd);

}  // extern "C"
