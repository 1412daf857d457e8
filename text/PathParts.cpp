#include "text/PathParts.h"

#include <mbstring.h>

#include <cstring>

namespace {

// Stores text[0, length) into part, cut to the runtime's part size, and
// tells whether it had to be cut.
bool StorePart(Text& part, const char* text, size_t length) {
    const bool cut = length > kPathPartMax;
    part.assign(text, cut ? kPathPartMax : length);
    return cut;
}

}  // namespace

PathParts SplitPathParts(const char* path) {
    PathParts parts;
    const char* rest = path;
    if (rest[0] != '\0' && rest[1] == ':') {
        parts.drive.assign(rest, 2);
        rest += 2;
    }

    const char* lastSeparator = nullptr;
    const char* lastDot = nullptr;
    for (const char* p = rest; *p != '\0'; ++p) {
        // In a double-byte code page the trail byte of a character may be
        // 0x5C, which is not a separator there: step over whole characters.
        if (_ismbblead(static_cast<unsigned char>(*p)) && p[1] != '\0') {
            ++p;
        } else if (*p == '\\' || *p == '/') {
            lastSeparator = p;
        } else if (*p == '.') {
            lastDot = p;
        }
    }
    const char* nameStart = rest;
    if (lastSeparator != nullptr) {
        nameStart = lastSeparator + 1;
        parts.dirCut = StorePart(parts.dir, rest, static_cast<size_t>(nameStart - rest));
    }
    // A dot before the last separator belongs to the directory.
    if (lastDot != nullptr && lastDot < nameStart) lastDot = nullptr;

    const char* end = nameStart + std::strlen(nameStart);
    const char* extStart = lastDot != nullptr ? lastDot : end;
    parts.nameCut = StorePart(parts.name, nameStart, static_cast<size_t>(extStart - nameStart));
    parts.extCut = StorePart(parts.ext, extStart, static_cast<size_t>(end - extStart));
    return parts;
}

const WCHAR* LastPathPart(const WCHAR* path) {
    const WCHAR* start = path[0] != 0 && path[1] == L':' ? path + 2 : path;
    for (const WCHAR* at = start; *at != 0; ++at) {
        if (*at == L'\\' || *at == L'/') start = at + 1;
    }
    return start;
}

bool HasNameAndExtension(const WCHAR* lastPart) {
    const WCHAR* dot = nullptr;
    const WCHAR* end = lastPart;
    for (; *end != 0; ++end) {
        if (*end == L'.') dot = end;
    }
    // The extension runs from the last '.', which it includes.
    return dot != nullptr && dot != lastPart &&
           static_cast<size_t>(dot - lastPart) <= kPathPartMax &&
           static_cast<size_t>(end - dot) <= kPathPartMax;
}
