// Reading the body of a mail from a file named on the command line.
#pragma once

#include <windows.h>

#include <cstddef>

#include "request/BodyText.h"
#include "text/Text.h"

// The largest body file taken, in bytes.
constexpr size_t kBodyFileLimit = 16u * 1024 * 1024;

// Replaces body with the text of the file at path (UTF-16, as typed) in
// codePage, as DecodeBodyText reads it (exact, when given, receives it whole
// in UTF-8), and says in facts how it was read. Fails, leaving body
// undefined, when the file cannot be opened or read, is no disk file, is
// larger than kBodyFileLimit or its text is refused (a zero character ends
// a body).
bool ReadBodyFile(const WCHAR* path, Text& body, BodyFileFacts& facts, Text* exact = nullptr,
                  UINT codePage = CP_ACP);
