// Stand-in for the C runtime's <mbstring.h> on systems other than Windows:
// the multibyte string helpers Quillora uses, with msvcrt's behaviour in the
// ANSI code page. In 1252 and 65001 every byte is one character; in 932 a
// lead byte and its trail byte are one. Case folding covers the ASCII
// letters (and in 932 the fullwidth Latin ones), as in the "C" locale.
#pragma once

#include <cstddef>

#ifdef __cplusplus
extern "C" {
#endif

// Case-insensitive comparison: < 0, 0 or > 0, comparing lower-cased
// characters as unsigned values (a double-byte one as lead << 8 | trail).
int _mbsicmp(const unsigned char* _Str1, const unsigned char* _Str2);

// Tokeniser with the runtime's hidden per-thread position: a non-null _Str
// starts a new string, null continues the last one. Runs of delimiters are
// skipped; returns null when no token is left.
unsigned char* _mbstok(unsigned char* _Str, const unsigned char* _Delim);

// Whether c is the lead byte of a double-byte character: 0x81..0x9F and
// 0xE0..0xFC in code page 932, never in a single-byte code page.
int _ismbblead(unsigned int _C);

#ifdef __cplusplus
}
#endif
