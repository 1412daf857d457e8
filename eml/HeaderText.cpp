#include "eml/HeaderText.h"

#include <cstring>

#include "eml/Base64.h"
#include "eml/MailSyntax.h"
#include "text/HeapBlock.h"

namespace {

// "=?utf-8?B?" and "?=" around at most 60 characters of base64: 45 bytes.
constexpr char kWordStart[] = "=?utf-8?B?";
constexpr size_t kWordBytes = (kEncodedWordLimit - (sizeof kWordStart - 1) - 2) / 4 * 3;

// Could be taken for the start of an encoded word.
bool HoldsWordStart(const char* text, size_t length) {
    for (size_t i = 0; i + 1 < length; ++i) {
        if (text[i] == '=' && text[i + 1] == '?') return true;
    }
    return false;
}

// Printable ASCII split at single blanks into words no longer than a token
// may be; with atomsOnly, every word of atext (a phrase of atoms). Leading,
// trailing or doubled blanks need quoting in a phrase and encoding in free
// text, where readers may trim them.
bool SplitsIntoWords(const char* text, size_t length, bool atomsOnly) {
    if (length == 0 || text[0] == ' ' || text[length - 1] == ' ') return false;
    if (HoldsWordStart(text, length)) return false;
    size_t word = 0;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == ' ') {
            if (word == 0) return false;
            word = 0;
            continue;
        }
        if (atomsOnly ? !IsAtomCharacter(c) : !IsPrintableAscii(c)) return false;
        if (++word > kEncodedWordLimit) return false;
    }
    return true;
}

bool WriteWords(HeaderWriter& header, const char* text, size_t length) {
    size_t start = 0;
    for (size_t i = 0; i <= length; ++i) {
        if (i < length && text[i] != ' ') continue;
        if (!header.Token(text + start, i - start)) return false;
        start = i + 1;
    }
    return true;
}

// The text as one quoted-string, when it is printable ASCII and fits a token.
bool FormQuotedString(const char* text, size_t length, Text& quoted) {
    char buffer[kEncodedWordLimit + 1];
    size_t used = 0;
    buffer[used++] = '"';
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!IsPrintableAscii(c)) return false;
        const bool escaped = c == '"' || c == '\\';
        if (used + (escaped ? 2 : 1) + 1 > kEncodedWordLimit) return false;
        if (escaped) buffer[used++] = '\\';
        buffer[used++] = static_cast<char>(c);
    }
    buffer[used++] = '"';
    return quoted.assign(buffer, used);
}

}  // namespace

bool JoinLines(const char* text, Text& line) {
    const size_t length = text != nullptr ? std::strlen(text) : 0;
    HeapBlock block(length);
    char* out = static_cast<char*>(block.get());
    if (length != 0 && out == nullptr) return false;
    size_t used = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\r' && i + 1 < length && text[i + 1] == '\n') ++i;
        out[used++] = text[i] == '\r' || text[i] == '\n' ? ' ' : text[i];
    }
    return line.assign(out, used);
}

bool WriteEncodedWords(HeaderWriter& header, const char* utf8, size_t length) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(utf8);
    for (size_t at = 0; at < length;) {
        size_t count = length - at < kWordBytes ? length - at : kWordBytes;
        // Back to the start of a character: never a continuation byte first
        // in the next word.
        if (at + count < length) {
            size_t whole = count;
            while (whole > 0 && (bytes[at + whole] & 0xC0) == 0x80) --whole;
            if (whole > 0) count = whole;
        }
        char word[kEncodedWordLimit + 1];
        std::memcpy(word, kWordStart, sizeof kWordStart - 1);
        size_t used = sizeof kWordStart - 1;
        used += EncodeBase64(bytes + at, count, word + used);
        word[used++] = '?';
        word[used++] = '=';
        if (!header.Token(word, used)) return false;
        at += count;
    }
    return true;
}

bool WriteUnstructured(HeaderWriter& header, const char* utf8, size_t length) {
    if (SplitsIntoWords(utf8, length, false)) return WriteWords(header, utf8, length);
    return WriteEncodedWords(header, utf8, length);
}

bool WritePhrase(HeaderWriter& header, const char* utf8, size_t length) {
    if (length == 0) return true;
    if (SplitsIntoWords(utf8, length, true)) return WriteWords(header, utf8, length);
    Text quoted;
    if (FormQuotedString(utf8, length, quoted)) return header.Token(quoted.c_str(), quoted.size());
    return WriteEncodedWords(header, utf8, length);
}
