// Text in header fields: free text such as a subject, and the phrases of
// recipients (display names, and names without an address). Text is UTF-8
// on one line; what cannot stand as it is goes out as RFC 2047 encoded words.
#pragma once

#include <cstddef>

#include "eml/HeaderWriter.h"
#include "text/Text.h"

// The longest encoded word, and the longest token written as it stands.
constexpr size_t kEncodedWordLimit = 75;

// The text on one line: each CR LF, lone CR or lone LF becomes one blank, so
// no text of a field can ever start a header line of its own. Single-byte
// work, safe for the ANSI code page: no trail byte is CR or LF.
bool JoinLines(const char* text, Text& line);

// Free text (Subject): as it stands when it is printable ASCII that folds
// cleanly, else wholly as encoded words.
bool WriteUnstructured(HeaderWriter& header, const char* utf8, size_t length);

// A phrase (RFC 5322): atoms as they stand, else one quoted-string, else
// encoded words. Empty text writes nothing.
bool WritePhrase(HeaderWriter& header, const char* utf8, size_t length);

// Encoded words "=?utf-8?B?...?=" of at most kEncodedWordLimit characters,
// each holding whole UTF-8 characters, separated by blanks (which readers
// drop between encoded words).
bool WriteEncodedWords(HeaderWriter& header, const char* utf8, size_t length);
