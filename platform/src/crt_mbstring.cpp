// msvcrt's multibyte string helpers in the ANSI code page: characters of
// one byte, or of two in code page 932, whose trail byte is never taken for
// a letter or a delimiter.
#include <mbstring.h>

#include "codepage.h"

namespace {

// The character at text: one byte, or a lead and trail byte as lead << 8 |
// trail (a lead byte before the terminator stands alone).
unsigned CharacterAt(const unsigned char* text, int& size) {
    size = IsAnsiLeadByte(text[0]) && text[1] != '\0' ? 2 : 1;
    return size == 2 ? (text[0] << 8) | text[1] : text[0];
}

// ASCII letters, and in code page 932 the fullwidth Latin ones.
unsigned FoldCase(unsigned c) {
    if (c >= 'A' && c <= 'Z') return c - 'A' + 'a';
    if (c >= 0x8260 && c <= 0x8279) return c - 0x8260 + 0x8281;
    return c;
}

bool IsDelimiter(unsigned c, const unsigned char* delimiters) {
    int size = 0;
    for (const unsigned char* d = delimiters; *d != '\0'; d += size) {
        if (CharacterAt(d, size) == c) return true;
    }
    return false;
}

// The runtime keeps the tokeniser's position per thread.
thread_local unsigned char* tokenizerNext = nullptr;

}  // namespace

extern "C" int _mbsicmp(const unsigned char* first, const unsigned char* second) {
    int firstSize = 0, secondSize = 0;
    for (;; first += firstSize, second += secondSize) {
        const unsigned a = FoldCase(CharacterAt(first, firstSize));
        const unsigned b = FoldCase(CharacterAt(second, secondSize));
        if (a != b) return a < b ? -1 : 1;
        if (a == '\0') return 0;
    }
}

extern "C" unsigned char* _mbstok(unsigned char* text, const unsigned char* delimiters) {
    if (text == nullptr) text = tokenizerNext;
    if (text == nullptr) return nullptr;
    int size = 0;
    while (*text != '\0' && IsDelimiter(CharacterAt(text, size), delimiters)) text += size;
    if (*text == '\0') {
        tokenizerNext = nullptr;
        return nullptr;
    }
    unsigned char* token = text;
    while (*text != '\0' && !IsDelimiter(CharacterAt(text, size), delimiters)) text += size;
    if (*text != '\0') {
        // A delimiter of two bytes is cleared whole.
        for (int i = 0; i < size; ++i) text[i] = '\0';
        tokenizerNext = text + size;
    } else {
        tokenizerNext = nullptr;
    }
    return token;
}

extern "C" int _ismbblead(unsigned int c) {
    return c <= 0xFF && IsAnsiLeadByte(static_cast<unsigned char>(c)) ? 1 : 0;
}
