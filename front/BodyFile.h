// Reading the body of a mail from a file named on the command line.
#pragma once

#include <cstddef>

#include "text/Text.h"

// The largest body file taken, in bytes.
constexpr size_t kBodyFileLimit = 16u * 1024 * 1024;

// Replaces body with the bytes of the file at path, exactly as stored. Fails,
// leaving body undefined, when the file cannot be opened or read, holds a
// zero byte (the body would end there) or is larger than kBodyFileLimit.
bool ReadBodyFile(const char* path, Text& body);
