#include "eml/QuotedPrintable.h"

namespace {

// The longest encoded line, not counting the "=" of a soft line break.
constexpr int kLineLimit = 75;

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

bool WriteQuotedPrintable(DraftOutput& out, const char* text, size_t length, bool closeLine) {
    static const char kHex[] = "0123456789ABCDEF";
    int column = 0;
    bool ok = true;
    for (size_t i = 0; i < length && ok; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsLineBreak(static_cast<char>(c))) {
            if (c == '\r' && i + 1 < length && text[i + 1] == '\n') ++i;
            ok = out.Put("\r\n", 2);
            column = 0;
            continue;
        }
        // Blanks stay readable except at the end of a line, where transports
        // may drop them; "=" and everything outside printable ASCII is
        // encoded.
        const bool lineEnds = i + 1 == length || IsLineBreak(text[i + 1]);
        const bool blank = c == ' ' || c == '\t';
        const bool literal = (c >= 33 && c <= 126 && c != '=') || (blank && !lineEnds);
        const int width = literal ? 1 : 3;
        if (column + width > kLineLimit) {
            ok = out.Put("=\r\n", 3);
            column = 0;
        }
        if (literal) {
            ok = ok && out.PutByte(static_cast<char>(c));
        } else {
            const char escape[3] = {'=', kHex[c >> 4], kHex[c & 0x0F]};
            ok = ok && out.Put(escape, 3);
        }
        column += width;
    }
    if (ok && closeLine && length != 0 && !IsLineBreak(text[length - 1])) {
        ok = out.Put("=\r\n", 3);
    }
    return ok;
}
