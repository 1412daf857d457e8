// Opening a file to read while other programs may have it open for reading,
// writing or deleting, as Quillora opens everything it reads: a log that
// another program still writes is taken as it stands. Only a file on a disk is
// taken: a pipe, console or device could make a read wait for ever.
#pragma once

#include <windows.h>

#include "text/RoadFailure.h"

// Opens the file at path (UTF-16, any length); INVALID_HANDLE_VALUE when it
// cannot be, with why noted in why: the call that failed and its error, or
// the refusal of what is not a disk file.
HANDLE OpenSharedRead(const WCHAR* path, RoadFailure* why = nullptr);

// The same by an 8-bit path, read in the ANSI code page as Windows' 8-bit
// file calls read one.
HANDLE OpenSharedRead(const char* path, RoadFailure* why = nullptr);

// The refusal of a handle that names no disk file.
constexpr char kNotADiskFile[] = "it is not a disk file (a pipe, console or device)";

// Whether handle is a file on a disk; when it is not, closes it, notes why
// and returns false.
bool KeepDiskFile(HANDLE handle, RoadFailure* why);

// Moves handle back to the file's start, so that a road reads it whole
// after an earlier one has.
bool Rewind(HANDLE handle);
