// Paths of any length for the W file calls. Without a long-path manifest,
// Windows refuses a path of MAX_PATH characters or more unless it has the
// extended-length prefix, which in turn takes the path as it stands: it
// must be absolute, with '\' only and no "." or "..".
#pragma once

#include <windows.h>

#include "text/WideText.h"

// path as the W file calls take it: a path shorter than MAX_PATH, or one
// that already has a prefix ("\\?\", "\\.\"), as it is; any other made
// absolute (GetFullPathNameW) and prefixed by PrefixedPath. false, with the
// last error set (ERROR_NOT_ENOUGH_MEMORY when memory runs out), when it
// cannot be had.
bool LongPathForm(const WCHAR* path, WideText& out);

// A full path with the extended-length prefix: "\\?\C:\..." for a drive
// path, "\\?\UNC\server\share\..." for a UNC path; any other (a relative
// or rooted path, as a stand-in may give) as it is.
bool PrefixedPath(const WCHAR* full, WideText& out);
