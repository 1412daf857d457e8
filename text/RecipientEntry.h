// What one entry of a recipient list holds: a name for the client's address
// book to resolve, or an e-mail address with or without a display name.
#pragma once

#include <windows.h>

#include "text/Text.h"

// For "Doe, Jo <jo@x.org>" the address is the part in angle brackets and the
// display name the text before them (trimmed, one pair of surrounding double
// quotes removed); for "bob@example.com" the address is the whole trimmed
// entry and the name is empty. An entry without '@' holds no address:
// returns false and leaves both untouched. Reads whole characters of
// codePage (CP_ACP or CP_UTF8), so a trail byte never counts as '@', '<' or
// '>'. Also false when memory runs out.
bool SplitRecipientEntry(const char* entry, Text& displayName, Text& address,
                         UINT codePage = CP_ACP);
