// Opening a URL or a file with the program the user has registered for it,
// as Windows documents it for a process that exits right after the call.
#pragma once

#include <windows.h>

#include "text/RoadFailure.h"

// Why an open failed.
struct ShellOpenFailure {
    // The call that failed: "ShellExecuteExW", or the load of shell32 or
    // ole32 or the lookup of an export in it when that is what failed.
    const char* call = nullptr;
    DWORD error = 0;   // GetLastError() after that call (ERROR_NO_ASSOCIATION ...)
    INT_PTR code = 0;  // the SE_ERR_ code ShellExecuteExW left in hInstApp
    // The program was reached by DDE and the conversation failed: it may
    // still be opening the target.
    bool DdeFailed() const;
};

// ShellExecuteExW, verb "open", with SEE_MASK_NOASYNC (the launch is over
// when it returns, so exiting cannot drop it) and SEE_MASK_FLAG_NO_UI (no
// error box: the caller reports), with COM initialised apartment-threaded
// and OLE1 DDE off around it, since the handler may be started through COM.
// ole32 and shell32 are loaded by name, so the programs' imports stay as
// they are, and stay loaded until the process ends: a program reached by
// DDE may still be talking to shell32 after the call. false, with failure
// filled in, when nothing was started.
bool ShellOpen(const WCHAR* target, ShellOpenFailure& failure);

// Notes a failed open for the report: the call that failed, with the SE_ERR_
// code ShellExecuteExW left, or its error where it left none.
void NoteShellFailure(RoadFailure* road, const ShellOpenFailure& failure);
