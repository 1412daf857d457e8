// Splitting a path into drive, directory, file name and extension with the
// rules of the C runtime's _splitpath family, without its fixed buffers.
// Like the runtime, it reads the path as characters of the current
// multibyte code page, so a double-byte character is never split.
#pragma once

#include <windows.h>

#include "text/Text.h"

// Longest part the runtime's path splitting keeps (its buffers hold 255
// characters and the terminator).
constexpr size_t kPathPartMax = 255;

struct PathParts {
    Text drive;  // "C:" when the second character is ':', else empty
    Text dir;    // up to and including the last '\' or '/'
    Text name;   // between directory and extension
    Text ext;    // from the last '.' of what follows the directory
    // Which parts were longer than kPathPartMax and have been cut.
    bool dirCut = false;
    bool nameCut = false;
    bool extCut = false;

    bool AnyCut() const { return dirCut || nameCut || extCut; }
};

PathParts SplitPathParts(const char* path);

// The last part of a UTF-16 path: what follows its last '\' or '/', or a
// drive ("C:") that starts it.
const WCHAR* LastPathPart(const WCHAR* path);

// Whether a path's last part is a file name and an extension, both present
// and within the runtime's part size: what a display name is made of.
bool HasNameAndExtension(const WCHAR* lastPart);
