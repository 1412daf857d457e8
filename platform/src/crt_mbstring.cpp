// msvcrt's multibyte string helpers for a single-byte code page.
#include <mbstring.h>

namespace {

unsigned char FoldCase(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

bool IsDelimiter(unsigned char c, const unsigned char* delimiters) {
    for (const unsigned char* d = delimiters; *d != '\0'; ++d) {
        if (*d == c) return true;
    }
    return false;
}

// The runtime keeps the tokeniser's position per thread.
thread_local unsigned char* tokenizerNext = nullptr;

}  // namespace

extern "C" int _mbsicmp(const unsigned char* first, const unsigned char* second) {
    for (;; ++first, ++second) {
        const unsigned char a = FoldCase(*first);
        const unsigned char b = FoldCase(*second);
        if (a != b) return a < b ? -1 : 1;
        if (a == '\0') return 0;
    }
}

extern "C" unsigned char* _mbstok(unsigned char* text, const unsigned char* delimiters) {
    if (text == nullptr) text = tokenizerNext;
    if (text == nullptr) return nullptr;
    while (*text != '\0' && IsDelimiter(*text, delimiters)) ++text;
    if (*text == '\0') {
        tokenizerNext = nullptr;
        return nullptr;
    }
    unsigned char* token = text;
    while (*text != '\0' && !IsDelimiter(*text, delimiters)) ++text;
    if (*text != '\0') {
        *text = '\0';
        tokenizerNext = text + 1;
    } else {
        tokenizerNext = nullptr;
    }
    return token;
}

extern "C" int _ismbblead(unsigned int) {
    return 0;
}
