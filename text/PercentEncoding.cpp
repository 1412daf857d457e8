#include "text/PercentEncoding.h"

#include "text/HexDigits.h"

bool AppendPercentEncoded(const char* bytes, size_t size, Text& out, bool (*kept)(unsigned char)) {
    for (size_t i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        const char escape[3] = {'%', kHexDigits[c >> 4], kHexDigits[c & 15]};
        if (!(kept(c) ? out.append(&bytes[i], 1) : out.append(escape, 3))) return false;
    }
    return true;
}
