// Opening a URL or a file with the program the user has registered for it,
// as Windows documents it for a process that exits right after the call.
#pragma once

#include <windows.h>

#include "text/RoadFailure.h"

// Why an open failed.
struct ShellOpenFailure {
    DWORD error = 0;   // GetLastError() after the call (ERROR_NO_ASSOCIATION ...)
    INT_PTR code = 0;  // the SE_ERR_ code ShellExecuteExW left in hInstApp
    // No program is registered for the target.
    bool NoProgram() const;
    // The program was reached by DDE and the conversation failed: it may
    // still be opening the target.
    bool DdeFailed() const;
};

// ShellExecuteExW, verb "open", with SEE_MASK_NOASYNC (the launch is over
// when it returns, so exiting cannot drop it) and SEE_MASK_FLAG_NO_UI (no
// error box: the caller reports), with COM initialised apartment-threaded
// and OLE1 DDE off around it, since the handler may be started through COM.
// ole32 and shell32 are loaded by name for the call only, so the programs'
// imports stay as they are. false, with failure filled in, when nothing was
// started.
bool ShellOpen(const WCHAR* target, ShellOpenFailure& failure);

// Notes a failed open for the report: ShellExecuteExW and the SE_ERR_ code
// it left, or its error where it left none.
void NoteShellFailure(RoadFailure* road, const ShellOpenFailure& failure);
