// UTF-16's surrogates: a high one followed by a low one is one character
// beyond U+FFFF; either alone is no character.
#pragma once

constexpr bool IsHighSurrogate(unsigned unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

constexpr bool IsLowSurrogate(unsigned unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
