// Stand-in for the C runtime's <mbstring.h> on systems other than Windows:
// the multibyte string helpers Quillora uses, with msvcrt's behaviour in a
// single-byte code page (every byte is one character; case folding covers
// the ASCII letters, as in the "C" locale).
#pragma once

#include <cstddef>

#ifdef __cplusplus
extern "C" {
#endif

// Case-insensitive comparison: < 0, 0 or > 0, comparing lower-cased bytes
// as unsigned values.
int _mbsicmp(const unsigned char* _Str1, const unsigned char* _Str2);

// Tokeniser with the runtime's hidden per-thread position: a non-null _Str
// starts a new string, null continues the last one. Runs of delimiters are
// skipped; returns null when no token is left.
unsigned char* _mbstok(unsigned char* _Str, const unsigned char* _Delim);

// Whether c is the lead byte of a double-byte character: never, in a
// single-byte code page.
int _ismbblead(unsigned int _C);

#ifdef __cplusplus
}
#endif
