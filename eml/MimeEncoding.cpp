#include "eml/MimeEncoding.h"

#include <cstring>

namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kHex[] = "0123456789ABCDEF";
// Quoted-printable lines hold 76 characters, the soft break's "=" included.
constexpr size_t kQuotedLine = 76;
// "=?utf-8?B?" and "?=" around at most 60 base64 characters: 72 of the 75 an
// encoded word may have.
constexpr size_t kEncodedWordBytes = 45;

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

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
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

bool AppendQuotedPrintable(const char* utf8, size_t size, Text& out) {
    size_t column = 0;
    bool ok = true;
    // A space or tab is written only once the next character shows that it
    // does not end a line, where it would have to be encoded.
    char pending = '\0';
    const auto put = [&](const char* token, size_t length) {
        if (column + length > kQuotedLine - 1) {
            ok = ok && out.append("=\r\n", 3);
            column = 0;
        }
        column += length;
        ok = ok && out.append(token, length);
    };
    const auto flushPending = [&](bool atLineEnd) {
        if (pending == '\0') return;
        const char literal[1] = {pending};
        const char encoded[3] = {'=', kHex[pending >> 4], kHex[pending & 15]};
        pending = '\0';
        atLineEnd ? put(encoded, 3) : put(literal, 1);
    };
    for (size_t i = 0; ok && i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < size && utf8[i + 1] == '\n') ++i;
            flushPending(true);
            ok = ok && out.append("\r\n", 2);
            column = 0;
        } else if (c == ' ' || c == '\t') {
            flushPending(false);
            pending = static_cast<char>(c);
        } else if (c >= 33 && c <= 126 && c != '=') {
            const char literal[1] = {static_cast<char>(c)};
            flushPending(false);
            put(literal, 1);
        } else {
            const char encoded[3] = {'=', kHex[c >> 4], kHex[c & 15]};
            flushPending(false);
            put(encoded, 3);
        }
    }
    flushPending(true);
    return ok;
}

size_t EncodedWordChunk(const char* utf8, size_t size) {
    if (size <= kEncodedWordBytes) return size;
    size_t chunk = kEncodedWordBytes;
    // Never cut a character in two: back off its continuation bytes.
    while (chunk > 0 && IsContinuation(static_cast<unsigned char>(utf8[chunk]))) --chunk;
    return chunk > 0 ? chunk : kEncodedWordBytes;
}

bool EncodedWord(const char* utf8, size_t size, Text& out) {
    char word[10 + 64 + 2];
    std::memcpy(word, "=?utf-8?B?", 10);
    const size_t encoded =
        WriteBase64(reinterpret_cast<const unsigned char*>(utf8), size, word + 10);
    word[10 + encoded] = '?';
    word[11 + encoded] = '=';
    return out.assign(word, 12 + encoded);
}

bool IsAttributeChar(unsigned char c) {
    return c > 32 && c < 127 && std::strchr("*'%()<>@,;:\\\"/[]?=", c) == nullptr;
}
