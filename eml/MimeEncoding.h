// The content encodings of a draft message (RFC 2045, 2047, 2231): base64 in
// lines of 76, quoted-printable text, encoded words and the characters a
// parameter value keeps. Each appends to out and returns false only when
// memory runs out.
#pragma once

#include <cstddef>

#include "text/Text.h"

// Characters a quoted-printable line holds, the soft break's "=" included.
constexpr size_t kQuotedLine = 76;

// Bytes per base64 line: 57 bytes make 76 characters.
constexpr size_t kBase64LineBytes = 57;

// size bytes as base64 lines of 76 characters, each ending in CR LF; every
// line but the last holds kBase64LineBytes bytes. out must have room for
// Base64LinesSize(size) bytes; returns the bytes written.
size_t Base64LinesSize(size_t size);
size_t WriteBase64Lines(const unsigned char* data, size_t size, char* out);

// UTF-8 text as quoted-printable lines of at most 76 characters, appended
// to out a piece at a time, cut anywhere. Every LF, CR LF and lone CR is a
// line break, written CR LF; a blank before one is encoded.
class QuotedPrintable {
public:
    explicit QuotedPrintable(Text& out) : out_(out) {}
    bool Append(const char* utf8, size_t size);
    // Writes the last line, without a line break of its own.
    bool Finish();
    // Whether the text so far ends with a line break.
    bool EndsLine() const { return used_ == 0 && !written_ ? true : endsLine_; }

private:
    bool Escaped(unsigned char c);
    bool End(const char* lineBreak, size_t length);
    bool Break(const char* lineBreak, size_t length);

    Text& out_;
    char line_[kQuotedLine + 2];  // a line and its break
    size_t used_ = 0;
    bool afterCr_ = false;  // an LF right after a CR adds no line break
    bool endsLine_ = false;
    bool written_ = false;
};

// A whole text as quoted-printable.
bool AppendQuotedPrintable(const char* utf8, size_t size, Text& out);

// Splits UTF-8 text into RFC 2047 encoded words ("=?utf-8?B?...?="), each at
// most 75 characters (the first at most firstLength, where one character
// fits) and each holding whole characters; calls word(begin, length,
// context) for each, in order, and stops at the first that fails.
using EncodedWordCallback = bool (*)(const char* word, size_t length, void* context);
bool ForEachEncodedWord(const char* utf8, size_t size, size_t firstLength, EncodedWordCallback word,
                        void* context);

// The same with any callable word(begin, length), such as a lambda.
template <typename Word>
bool ForEachEncodedWord(const char* utf8, size_t size, Word word, size_t firstLength = 75) {
    return ForEachEncodedWord(
        utf8, size, firstLength,
        [](const char* begin, size_t length, void* context) {
            return (*static_cast<Word*>(context))(begin, length);
        },
        &word);
}

// RFC 2231's attribute-char: printable ASCII but blanks, specials, '*',
// "'" and '%'; a parameter value encodes every other byte as %XX.
bool IsAttributeChar(unsigned char c);
