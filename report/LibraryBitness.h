// Whether a Windows library is 32- or 64-bit, read from its PE header: a
// program can load a MAPI library of its own bitness only.
#pragma once

// 32 or 64 for a PE file built for x86 / x64 (or 32- / 64-bit ARM), 0 when
// the file cannot be read or is no PE file.
// path is in UTF-8.
int LibraryBitness(const char* path);
