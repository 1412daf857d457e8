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

// What the last ShellExecuteExW on any thread was asked, and the COM state
// of its thread then: the mask, and the flags COM was initialised with
// (0: not at all).
struct PlatformShellLaunch {
    bool called = false;
    ULONG mask = 0;
    DWORD comFlags = 0;
};
PlatformShellLaunch PlatformLastShellLaunch();

// The next ShellExecuteExW that is asked as Windows needs (COM, NOASYNC)
// starts nothing and fails with code in hInstApp and error as the last
// error, as when a program reached by DDE does not answer
// (SE_ERR_DDEFAIL, ERROR_DDE_FAIL).
void PlatformFailNextShellExecute(INT_PTR code, DWORD error);

// How many CoInitializeEx calls on this thread wait for their CoUninitialize.
unsigned PlatformComInitializations();
