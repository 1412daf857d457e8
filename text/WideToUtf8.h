// UTF-16 text as UTF-8, for the roads whose output is UTF-8.
#pragma once

#include <windows.h>

#include <cstddef>

#include "text/Text.h"

// Replaces utf8 with count units of UTF-16 in UTF-8 (a lone surrogate
// becomes U+FFFD, as Windows converts it). false when the conversion fails
// or memory runs out.
bool WideToUtf8(const WCHAR* wide, size_t count, Text& utf8);

// The length of a zero-terminated UTF-16 text, in units.
size_t WideLength(const WCHAR* wide);
