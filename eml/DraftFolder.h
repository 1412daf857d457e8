// Where draft message files are kept: a folder "Quillora" in the user's
// temporary folder, each draft under a name of its own that stays for the
// mail app to read after Quillora has ended, and only a day.
#pragma once

#include <windows.h>

#include "text/RoadFailure.h"
#include "text/Text.h"
#include "text/WideText.h"

// The folder, with a trailing separator, created when missing. Its path is
// UTF-16 throughout: the user's profile folder may hold characters that the
// ANSI code page lacks. false, with the call that failed noted in failure,
// when it cannot be had.
bool DraftFolder(WideText& folder, RoadFailure* failure);

// Creates a new, empty draft file in folder under a name nothing else uses
// (create-new, never overwrite): "Quillora-YYYYMMDD-HHMMSS-<process>-<n>.eml".
// Returns its handle, open for writing, and its path; INVALID_HANDLE_VALUE,
// with the call that failed noted in failure, when none can be created.
HANDLE CreateDraftFile(const WideText& folder, const SYSTEMTIME& utc, WideText& path,
                       RoadFailure* failure = nullptr);

// Whether name is one that CreateDraftFile gives.
bool IsDraftFileName(const char* name);

// Deletes the drafts in folder, by IsDraftFileName, last written more than
// 24 hours before now (100 ns units since 1601); nothing else there.
void DeleteOldDrafts(const WideText& folder, ULONGLONG now);

// Deletes the draft at path; false when it cannot be.
bool DeleteDraft(const WideText& path);
