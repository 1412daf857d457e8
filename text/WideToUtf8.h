// UTF-16 text as UTF-8, for the roads whose output is UTF-8, and back.
#pragma once

#include <windows.h>

#include <cstddef>

#include "text/Text.h"
#include "text/WideText.h"

// Replaces text with count units of UTF-16 in codePage, as
// WideCharToMultiByte converts them without flags (for an ANSI code page: a
// look-alike, else the default character, for what it lacks). false when
// the conversion fails or memory runs out.
bool WideToMultiByte(UINT codePage, const WCHAR* wide, size_t count, Text& text);

// Replaces utf8 with count units of UTF-16 in UTF-8 (a lone surrogate
// becomes U+FFFD, as Windows converts it). false when the conversion fails
// or memory runs out.
bool WideToUtf8(const WCHAR* wide, size_t count, Text& utf8);

// Replaces wide with size bytes of text in codePage converted to UTF-16, as
// MultiByteToWideChar converts them without flags. false when the
// conversion fails or memory runs out.
bool MultiByteToWide(UINT codePage, const char* text, size_t size, WideText& wide);

// Replaces wide with size bytes of UTF-8 in UTF-16 (invalid bytes become
// U+FFFD). false when the conversion fails or memory runs out.
bool Utf8ToWide(const char* utf8, size_t size, WideText& wide);
