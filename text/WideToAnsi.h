// UTF-16 text in an ANSI code page, the way Windows hands a program a
// command-line argument: a character the code page lacks becomes '?', never
// a look-alike.
#pragma once

#include <windows.h>

#include <cstddef>

#include "text/Text.h"

// Replaces ansi with count units of UTF-16 (no lone surrogates) in codePage
// and sets notInCodePage to the characters that became '?'. wide is rewritten
// on the way: a character beyond U+FFFF that the code page lacks becomes one
// '?', not one per unit. false when the conversion fails or memory runs out.
bool WideToAnsi(WCHAR* wide, size_t count, Text& ansi, size_t& notInCodePage,
                UINT codePage = CP_ACP);

// The characters of count units of UTF-16 that codePage lacks (0 when that
// cannot be told: no memory).
size_t CountNotInCodePage(const WCHAR* wide, size_t count, UINT codePage = CP_ACP);
