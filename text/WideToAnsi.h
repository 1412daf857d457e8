// UTF-16 text in an ANSI code page, for the MAPI roads, which are 8-bit.
#pragma once

#include <windows.h>

#include <cstddef>

#include "text/Text.h"

// Replaces ansi with count units of UTF-16 (no lone surrogates) in codePage,
// a character the code page lacks as '?', never a look-alike,
// and sets notInCodePage to the characters that became '?'. wide is rewritten
// on the way: a character beyond U+FFFF that the code page lacks becomes one
// '?', not one per unit. false when the conversion fails or memory runs out.
bool WideToAnsi(WCHAR* wide, size_t count, Text& ansi, size_t& notInCodePage,
                UINT codePage = CP_ACP);

// The characters of count units of UTF-16 that codePage lacks (0 when that
// cannot be told: no memory).
size_t CountNotInCodePage(const WCHAR* wide, size_t count, UINT codePage = CP_ACP);

// count units of UTF-16 in the ANSI code page the way Windows converts a
// program's command-line arguments: a look-alike (best fit) where the code
// page has one for a character it lacks, else '?'. false when the
// conversion fails or memory runs out.
bool BestFitAnsi(const WCHAR* wide, size_t count, Text& ansi);
// The same for size bytes of UTF-8.
bool BestFitAnsi(const char* utf8, size_t size, Text& ansi);

// count units of UTF-16 in the ANSI code page only where every character
// has its own form there, so that the result names exactly what the text
// names (a path: a look-alike could name another file). false when one has
// none, or memory runs out.
bool LosslessAnsi(const WCHAR* wide, size_t count, Text& ansi);
