// Text of the ANSI code page as UTF-8, for the roads that hand mail to
// programs outside MAPI (a mailto: URL, a draft message file).
#pragma once

#include <windows.h>

#include <cstddef>

#include "text/Text.h"

// Replaces utf8 with text (length bytes in codePage) converted to UTF-8.
// false when the text cannot be converted or memory runs out.
bool AnsiToUtf8(const char* text, size_t length, Text& utf8, UINT codePage = CP_ACP);
