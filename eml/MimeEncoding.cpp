#include "eml/MimeEncoding.h"

#include <cstring>

#include "text/HexDigits.h"

namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
// "=?utf-8?B?" and "?=" around at most 60 base64 characters: 72 of the 75 an
// encoded word may have.
constexpr size_t kEncodedWordBytes = 45;
constexpr size_t kEncodedWordLength = 10 + (kEncodedWordBytes + 2) / 3 * 4 + 2;
static_assert(kEncodedWordLength <= 75, "an encoded word is at most 75 characters");

size_t WriteBase64(const unsigned char* in, size_t size, char* out) {
    char* start = out;
    size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        const unsigned v = in[i] << 16 | in[i + 1] << 8 | in[i + 2];
        out[0] = kBase64[v >> 18];
        out[1] = kBase64[(v >> 12) & 63];
        out[2] = kBase64[(v >> 6) & 63];
        out[3] = kBase64[v & 63];
        out += 4;
    }
    if (i < size) {
        const unsigned v = in[i] << 16 | (i + 1 < size ? in[i + 1] << 8 : 0);
        out[0] = kBase64[v >> 18];
        out[1] = kBase64[(v >> 12) & 63];
        out[2] = i + 1 < size ? kBase64[(v >> 6) & 63] : '=';
        out[3] = '=';
        out += 4;
    }
    return static_cast<size_t>(out - start);
}

// What quoted-printable writes as it is: printable ASCII but '=', and the
// blanks (encoded only before a line break). A table: it is asked of every
// byte of a body.
struct LiteralTable {
    bool literal[256] = {};
    constexpr LiteralTable() {
        for (int c = 32; c <= 126; ++c) literal[c] = c != '=';
        literal['\t'] = true;
    }
};
constexpr LiteralTable kLiterals;

bool IsLiteral(char c) {
    return kLiterals.literal[static_cast<unsigned char>(c)];
}

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The encoded word of the whole characters from the start of utf8 (size >
// 0) that fit in most characters, or of the first character where none
// does, written into word; taken is the bytes it holds.
size_t NextEncodedWord(const char* utf8, size_t size, size_t most, char (&word)[kEncodedWordLength],
                       size_t& taken) {
    const size_t fits = most > 12 ? (most - 12) / 4 * 3 : 0;
    taken = size < fits ? size : fits < kEncodedWordBytes ? fits : kEncodedWordBytes;
    // Never cut a character in two: back off its continuation bytes.
    while (taken > 0 && taken < size && IsContinuation(static_cast<unsigned char>(utf8[taken]))) {
        --taken;
    }
    // Where not one character fits, the first character alone.
    if (taken == 0) {
        taken = 1;
        while (taken < size && taken < kEncodedWordBytes &&
               IsContinuation(static_cast<unsigned char>(utf8[taken]))) {
            ++taken;
        }
    }
    std::memcpy(word, "=?utf-8?B?", 10);
    size_t length =
        10 + WriteBase64(reinterpret_cast<const unsigned char*>(utf8), taken, word + 10);
    word[length++] = '?';
    word[length++] = '=';
    return length;
}

}  // namespace

size_t Base64LinesSize(size_t size) {
    const size_t lines = (size + kBase64LineBytes - 1) / kBase64LineBytes;
    return (size + 2) / 3 * 4 + lines * 2;
}

size_t WriteBase64Lines(const unsigned char* data, size_t size, char* out) {
    char* start = out;
    for (size_t at = 0; at < size; at += kBase64LineBytes) {
        const size_t line = size - at < kBase64LineBytes ? size - at : kBase64LineBytes;
        out += WriteBase64(data + at, line, out);
        *out++ = '\r';
        *out++ = '\n';
    }
    return static_cast<size_t>(out - start);
}

bool QuotedPrintable::Append(const char* utf8, size_t size) {
    for (size_t i = 0; i < size;) {
        // A run of characters that stand as they are, as far as the line goes.
        if (used_ == kQuotedLine - 1 && IsLiteral(utf8[i]) && !Break("=\r\n", 3)) return false;
        const size_t room = kQuotedLine - 1 - used_;
        const size_t most = size - i < room ? size - i : room;
        size_t run = 0;
        while (run < most && IsLiteral(utf8[i + run])) ++run;
        if (run != 0) {
            std::memcpy(line_ + used_, utf8 + i, run);
            used_ += run;
            i += run;
            afterCr_ = endsLine_ = false;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(utf8[i++]);
        const bool lineFeedAfterCr = c == '\n' && afterCr_;
        afterCr_ = c == '\r';
        const bool ok = c == '\r' || c == '\n' ? lineFeedAfterCr || End("\r\n", 2) : Escaped(c);
        if (!ok) return false;
    }
    return true;
}

bool QuotedPrintable::Finish() {
    const bool endsLine = EndsLine();
    const bool ok = End("", 0);
    endsLine_ = endsLine;
    return ok;
}

bool QuotedPrintable::Escaped(unsigned char c) {
    if (used_ + 3 > kQuotedLine - 1 && !Break("=\r\n", 3)) return false;
    line_[used_++] = '=';
    line_[used_++] = kHexDigits[c >> 4];
    line_[used_++] = kHexDigits[c & 15];
    endsLine_ = false;
    return true;
}

bool QuotedPrintable::End(const char* lineBreak, size_t length) {
    // A reader drops a blank before a line break: it is encoded.
    if (used_ != 0 && (line_[used_ - 1] == ' ' || line_[used_ - 1] == '\t')) {
        if (!Escaped(static_cast<unsigned char>(line_[--used_]))) return false;
    }
    if (!Break(lineBreak, length)) return false;
    endsLine_ = length != 0;
    return true;
}

bool QuotedPrintable::Break(const char* lineBreak, size_t length) {
    // A line holds at most kQuotedLine - 1 characters before "=\r\n".
    std::memcpy(line_ + used_, lineBreak, length);
    const bool ok = out_.append(line_, used_ + length);
    used_ = 0;
    written_ = true;
    return ok;
}

bool AppendQuotedPrintable(const char* utf8, size_t size, Text& out) {
    QuotedPrintable encoder(out);
    return encoder.Append(utf8, size) && encoder.Finish();
}

bool ForEachEncodedWord(const char* utf8, size_t size, size_t firstLength, EncodedWordCallback word,
                        void* context) {
    char encoded[kEncodedWordLength];
    for (size_t at = 0; at < size;) {
        size_t taken = 0;
        const size_t most = at == 0 ? firstLength : kEncodedWordLength;
        const size_t length = NextEncodedWord(utf8 + at, size - at, most, encoded, taken);
        if (!word(encoded, length, context)) return false;
        at += taken;
    }
    return true;
}

bool IsAttributeChar(unsigned char c) {
    return c > 32 && c < 127 && std::strchr("*'%()<>@,;:\\\"/[]?=", c) == nullptr;
}
