#include "text/AnsiToUtf8.h"

#include "text/WideText.h"
#include "text/WideToUtf8.h"

bool AnsiToUtf8(const char* text, size_t length, Text& utf8, UINT codePage) {
    WideText wide;
    return MultiByteToWide(codePage, text, length, wide) &&
           WideToUtf8(wide.c_str(), wide.size(), utf8);
}
