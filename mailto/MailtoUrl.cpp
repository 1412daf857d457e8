#include "mailto/MailtoUrl.h"

#include <cstring>

#include "text/TextHelpers.h"

namespace {

bool IsKept(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '@';
}

bool AppendEncodedByte(Text& url, unsigned char c) {
    static const char kHex[] = "0123456789ABCDEF";
    if (IsKept(c)) return url.append(reinterpret_cast<const char*>(&c), 1);
    const char escape[3] = {'%', kHex[c >> 4], kHex[c & 0x0F]};
    return url.append(escape, 3);
}

// Appends UTF-8 text percent-encoded; with lineBreaks, each LF, CR LF or
// lone CR as %0D%0A.
bool AppendEncoded(Text& url, const char* text, size_t length, bool lineBreaks) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    // Past the limit the URL is refused whatever follows: encoding the rest
    // of a long body a byte at a time would only take long.
    for (size_t i = 0; i < length && url.size() <= kMailtoUrlLimit; ++i) {
        const unsigned char c = bytes[i];
        if (lineBreaks && (c == '\r' || c == '\n')) {
            if (c == '\r' && i + 1 < length && bytes[i + 1] == '\n') ++i;
            if (!url.append("%0D%0A", 6)) return false;
        } else if (!AppendEncodedByte(url, c)) {
            return false;
        }
    }
    return true;
}

// Appends the recipients of list, each encoded, separated by a literal ",";
// empty tells whether the list yielded none.
bool AppendRecipients(Text& url, const char* list, bool& empty) {
    bool first = true;
    bool ok = true;
    SplitRecipientList(
        list, RecipientKind::To,
        [&](const char* name, RecipientKind) {
            if (!ok) return;
            ok =
                (first || url.append(",", 1)) && AppendEncoded(url, name, std::strlen(name), false);
            first = false;
        },
        CP_UTF8);
    empty = first;
    return ok;
}

}  // namespace

bool BuildMailtoUrl(const ExactRequest& request, Text& url) {
    if (!url.assign("mailto:")) return false;
    bool empty = true;
    if (!AppendRecipients(url, request.to, empty)) return false;

    // Each query field starts with "?" when it is the first, else "&".
    bool first = true;
    const auto start = [&url, &first](const char* name) {
        const bool ok = url.append(first ? "?" : "&", 1) && url.append(name, std::strlen(name)) &&
                        url.append("=", 1);
        first = false;
        return ok;
    };
    const auto recipients = [&](const char* name, const char* list) {
        if (list == nullptr) return true;
        // Only a list that yields recipients gets a field: encode into a
        // scratch URL first.
        Text field;
        bool none = true;
        if (!AppendRecipients(field, list, none)) return false;
        if (none) return true;
        return start(name) && url.append(field.c_str(), field.size());
    };
    const auto text = [&](const char* name, const char* value, bool lineBreaks) {
        if (value == nullptr || *value == '\0') return true;
        return start(name) && AppendEncoded(url, value, std::strlen(value), lineBreaks);
    };
    return recipients("cc", request.cc) && recipients("bcc", request.bcc) &&
           text("subject", request.subject, false) && text("body", request.body, true);
}
