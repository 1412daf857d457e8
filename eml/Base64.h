// Base64 (RFC 2045): the attachment as lines of 76 characters, and short
// runs of text for encoded words.
#pragma once

#include <cstddef>

// Input bytes per full line: 57 bytes make 76 characters.
constexpr size_t kBase64LineBytes = 57;

// Characters EncodeBase64 writes for count bytes.
constexpr size_t Base64Size(size_t count) {
    return (count + 2) / 3 * 4;
}

// Characters EncodeBase64Lines writes for count bytes: each line, the last
// one included, ends with CR LF.
constexpr size_t Base64LinesSize(size_t count) {
    return Base64Size(count) + (count + kBase64LineBytes - 1) / kBase64LineBytes * 2;
}

// Writes Base64Size(count) characters to out, padded with '='.
size_t EncodeBase64(const unsigned char* in, size_t count, char* out);

// Writes Base64LinesSize(count) characters to out: a line of 76 characters
// and CR LF for every 57 bytes, then the rest on a shorter line. A long
// input may be encoded piece by piece when every piece but the last is a
// multiple of 57 bytes.
size_t EncodeBase64Lines(const unsigned char* in, size_t count, char* out);
