// Where draft message files are kept: a folder "Quillora" in the user's
// temporary folder, each draft under a name of its own that stays for the
// mail app to read after Quillora has ended, and only a day.
#pragma once

#include <windows.h>

#include "text/Text.h"

// The folder, with a trailing separator, created when missing. null when
// it is had; otherwise the kernel call that failed, with its error in
// GetLastError.
const char* DraftFolder(Text& folder);

// Creates a new, empty draft file in folder under a name nothing else uses
// (create-new, never overwrite): "Quillora-YYYYMMDD-HHMMSS-<process>-<n>.eml".
// Returns its handle, open for writing, and its path; INVALID_HANDLE_VALUE
// (GetLastError says why) when none can be created.
HANDLE CreateDraftFile(const Text& folder, const SYSTEMTIME& utc, Text& path);

// Whether name is one that CreateDraftFile gives.
bool IsDraftFileName(const char* name);

// Deletes the drafts in folder, by IsDraftFileName, last written more than
// 24 hours before now (100 ns units since 1601); nothing else there.
void DeleteOldDrafts(const Text& folder, ULONGLONG now);
