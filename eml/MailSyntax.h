// Character classes of RFC 5322 that the header writers share.
#pragma once

#include <cstring>

inline bool IsPrintableAscii(unsigned char c) {
    return c >= 0x20 && c <= 0x7E;
}

// atext: what an atom may hold without quoting.
inline bool IsAtomCharacter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           (c != 0 && std::strchr("!#$%&'*+-/=?^_`{|}~", c) != nullptr);
}
