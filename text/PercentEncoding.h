// Percent-encoding (RFC 3986's "%XX", upper-case hex), for the roads that
// write text into URLs and MIME parameters.
#pragma once

#include <cstddef>

#include "text/Text.h"

// Appends size bytes to out, each byte that kept() refuses as %XX. false
// (out then holds part of it) when memory runs out.
bool AppendPercentEncoded(const char* bytes, size_t size, Text& out, bool (*kept)(unsigned char));
