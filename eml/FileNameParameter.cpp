#include "eml/FileNameParameter.h"

#include <cstring>

#include "eml/MimeEncoding.h"
#include "text/PercentEncoding.h"
#include "text/TextHelpers.h"

namespace {

// The longest line a piece may make (RFC 5322).
constexpr size_t kLineLength = 78;
// A piece holds at least the escapes of one character.
constexpr size_t kShortestPiece = 12;
// Longest stand-in for a name, in characters.
constexpr size_t kLongestStandIn = 900;

bool Append(Text& out, const char* text) {
    return out.append(text, std::strlen(text));
}

bool IsQuotable(unsigned char c) {
    return c >= 32 && c <= 126 && c != '"' && c != '\\';
}

bool IsQuotable(const Text& utf8) {
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (!IsQuotable(static_cast<unsigned char>(utf8.c_str()[i]))) return false;
    }
    return !utf8.empty();
}

// parameter="name" whole, one '_' for each character it cannot quote.
bool AppendWhole(const char* parameter, const Text& utf8, Text& out) {
    bool ok = Append(out, ";\r\n\t") && Append(out, parameter) && Append(out, "=\"");
    for (size_t i = 0, characters = 0; ok && i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8.c_str()[i]);
        if ((c & 0xC0) == 0x80) continue;  // one '_' a character
        if (++characters > kLongestStandIn) break;
        ok = IsQuotable(c) ? out.append(&utf8.c_str()[i], 1) : Append(out, "_");
    }
    return ok && Append(out, "\"");
}

// Whether at is the escape of a UTF-8 continuation byte ("%80" to "%BF"),
// which must stay with the escapes before it.
bool IsContinuationEscape(const char* at) {
    return at[0] == '%' && (at[1] == '8' || at[1] == '9' || at[1] == 'A' || at[1] == 'B');
}

// Where the piece of value that starts at at ends, given room characters:
// in an escaped value never inside an escape nor a character's escapes.
size_t PieceEnd(const Text& value, size_t at, size_t room, bool escaped) {
    if (room < kShortestPiece) room = kShortestPiece;
    if (value.size() - at <= room) return value.size();
    size_t end = at + room;
    if (!escaped) return end;
    const char* text = value.c_str();
    if (text[end - 1] == '%') {
        end -= 1;
    } else if (text[end - 2] == '%') {
        end -= 2;
    }
    while (end > at + 3 && IsContinuationEscape(text + end)) end -= 3;
    return end;
}

// value in pieces, each line "<tab>parameter*N=" (escaped: "*N*=", the
// first with the charset) and its piece, quoted or escaped, and the ";"
// that may follow, within kLineLength.
bool AppendPieces(const char* parameter, const Text& value, bool escaped, Text& out) {
    const char* const quote = escaped ? "" : "\"";
    bool ok = true;
    for (size_t at = 0, piece = 0; ok && at < value.size(); ++piece) {
        ok = Append(out, ";\r\n");
        const size_t lineStart = out.size();
        ok = ok && Append(out, "\t") && Append(out, parameter) && Append(out, "*") &&
             AppendDecimal(out, piece) && Append(out, escaped ? "*=" : "=") &&
             Append(out, escaped && piece == 0 ? "utf-8''" : quote);
        const size_t used = out.size() - lineStart + std::strlen(quote) + 1;
        const size_t end =
            PieceEnd(value, at, used < kLineLength ? kLineLength - used : 0, escaped);
        ok = ok && out.append(value.c_str() + at, end - at) && Append(out, quote);
        at = end;
    }
    return ok;
}

}  // namespace

bool AppendFileNameParameter(const char* parameter, const Text& utf8, bool rfc2231, Text& out) {
    const bool quotable = IsQuotable(utf8);
    // The tab, '="', the name, '"' and a ';' after it.
    const size_t wholeLine = 1 + std::strlen(parameter) + 2 + utf8.size() + 2;
    if (!rfc2231 || (quotable && wholeLine <= kLineLength)) {
        return AppendWhole(parameter, utf8, out);
    }
    if (quotable) return AppendPieces(parameter, utf8, false, out);
    Text escaped;
    return AppendPercentEncoded(utf8.c_str(), utf8.size(), escaped, IsAttributeChar) &&
           AppendPieces(parameter, escaped, true, out);
}
