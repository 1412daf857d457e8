// The content encodings of a draft message (RFC 2045, 2047, 2231): base64 in
// lines of 76, quoted-printable text, encoded words and the characters a
// parameter value keeps. Each appends to out and returns false only when
// memory runs out.
#pragma once

#include <cstddef>

#include "text/Text.h"

// Bytes per base64 line: 57 bytes make 76 characters.
constexpr size_t kBase64LineBytes = 57;

// size bytes as base64 lines of 76 characters, each ending in CR LF; every
// line but the last holds kBase64LineBytes bytes. out must have room for
// Base64LinesSize(size) bytes; returns the bytes written.
size_t Base64LinesSize(size_t size);
size_t WriteBase64Lines(const unsigned char* data, size_t size, char* out);

// UTF-8 text as quoted-printable lines of at most 76 characters. Every LF,
// CR LF and lone CR is a line break, written CR LF.
bool AppendQuotedPrintable(const char* utf8, size_t size, Text& out);

// Splits UTF-8 text into RFC 2047 encoded words ("=?utf-8?B?...?="), each at
// most 75 characters and each holding whole characters; calls word(begin,
// length) for each.
template <typename Word>
bool ForEachEncodedWord(const char* utf8, size_t size, Word word);
bool EncodedWord(const char* utf8, size_t size, Text& out);
size_t EncodedWordChunk(const char* utf8, size_t size);

template <typename Word>
bool ForEachEncodedWord(const char* utf8, size_t size, Word word) {
    Text encoded;
    for (size_t at = 0; at < size;) {
        const size_t chunk = EncodedWordChunk(utf8 + at, size - at);
        if (!EncodedWord(utf8 + at, chunk, encoded) || !word(encoded.c_str(), encoded.size())) {
            return false;
        }
        at += chunk;
    }
    return true;
}

// RFC 2231's attribute-char: printable ASCII but blanks, specials, '*',
// "'" and '%'; a parameter value encodes every other byte as %XX.
bool IsAttributeChar(unsigned char c);
