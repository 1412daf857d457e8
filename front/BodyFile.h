// Reading the body of a mail from a file named on the command line.
#pragma once

#include <windows.h>

#include <cstddef>

#include "front/BodyText.h"
#include "text/Text.h"

// The largest body file taken, in bytes.
constexpr size_t kBodyFileLimit = 16u * 1024 * 1024;

// Replaces body with the text of the file at path in codePage, as
// DecodeBodyText reads it (exact, when given, receives it whole in UTF-8),
// and says in facts how it was read. widePath, when given, names the same
// file by its UTF-16 path, which can name any file. Fails, leaving body
// undefined, when the file cannot be opened or read, is larger than
// kBodyFileLimit or its text is refused (a zero character ends a body).
bool ReadBodyFile(const char* path, Text& body, BodyFileFacts& facts, UINT codePage = CP_ACP,
                  Text* exact = nullptr, const WCHAR* widePath = nullptr);
