// Where drafts are kept: the folder "Quillora" in the user's temporary
// folder. A draft stays there for the mail app to read after Quillora has
// ended; drafts of Quillora's own naming older than a day are removed when
// the next one is written.
#pragma once

#include <windows.h>

#include "text/RoadFailure.h"
#include "text/Text.h"

// How long a draft is kept, in FILETIME units (100 ns): 24 hours.
constexpr ULONGLONG kDraftLifetime = 24ULL * 60 * 60 * 10000000;

// GetTempPathA() + "Quillora" + its separator, created when missing.
bool OpenDraftFolder(Text& folder, RoadFailure* failure);

// Creates a new, empty draft file in folder under a name no file has
// (CREATE_NEW, never overwriting) and returns its handle, open for writing;
// path receives its full path. INVALID_HANDLE_VALUE on failure, noted.
HANDLE CreateDraftFile(const Text& folder, const SYSTEMTIME& now, Text& path, RoadFailure* failure);

// Whether name is one that CreateDraftFile gives:
// "Quillora-YYYYMMDD-HHMMSS-XXXXXXXX.eml", X an upper-case hex digit.
bool IsDraftName(const char* name);

// Deletes the files in folder whose name IsDraftName and whose last write
// is more than kDraftLifetime before now. Nothing else is touched; a file
// that cannot be deleted (still open) is left for a later run.
void DeleteOldDrafts(const Text& folder, const FILETIME& now);
