// Stand-in for <shellapi.h> on systems other than Windows: ShellExecuteExW and
// its error results. For a URL it starts the desktop's handler for the
// URL's scheme (see platform/src/shell_execute.cpp).
#pragma once

#include <windows.h>

#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_DDETIMEOUT 28
#define SE_ERR_DDEFAIL 29
#define SE_ERR_DDEBUSY 30
#define SE_ERR_NOASSOC 31

#define SEE_MASK_NOASYNC 0x100
#define SEE_MASK_FLAG_NO_UI 0x400

// 32-bit Windows packs the shell's structures to the byte.
#if defined(__i386__)
#pragma pack(push, 1)
#endif
typedef struct _SHELLEXECUTEINFOW {
    DWORD cbSize;
    ULONG fMask;
    HWND hwnd;
    LPCWSTR lpVerb;
    LPCWSTR lpFile;
    LPCWSTR lpParameters;
    LPCWSTR lpDirectory;
    int nShow;
    HINSTANCE hInstApp;
    void* lpIDList;
    LPCWSTR lpClass;
    HKEY hkeyClass;
    DWORD dwHotKey;
    union {
        HANDLE hIcon;
        HANDLE hMonitor;
    };
    HANDLE hProcess;
} SHELLEXECUTEINFOW, *LPSHELLEXECUTEINFOW;
#if defined(__i386__)
#pragma pack(pop)
#endif

extern "C" {

// Verb "open" (or none) only. Stricter than Windows, which may drop a launch
// when the caller exits right after: without COM initialised on the thread
// or without SEE_MASK_NOASYNC it starts nothing and fails.
WINBOOL WINAPI ShellExecuteExW(SHELLEXECUTEINFOW* pExecInfo);

}  // extern "C"
