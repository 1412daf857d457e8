// Taking 8-bit text out of MAPI values without trusting the pointer: a
// string counts only when the kernel confirms it is readable up to its
// terminating zero.
#pragma once

#include "mapi/MapiPlatform.h"

// text itself, or null when text is null or not readable to its end.
LPCSTR ReadableString(LPCSTR text);

// The value's 8-bit string when the value really is a PT_STRING8 and its
// text is readable; null otherwise (an error value, another type, a null
// or unreadable pointer).
LPCSTR ReadablePropString(const SPropValue* value);
