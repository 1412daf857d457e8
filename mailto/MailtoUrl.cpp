#include "mailto/MailtoUrl.h"

#include <cstring>

#include "text/PercentEncoding.h"
#include "text/TextHelpers.h"

namespace {

// RFC 6068's unreserved characters and '@'; everything else is encoded.
bool IsKept(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '@';
}

// Appends UTF-8 text percent-encoded; with lineBreaks, each LF, CR LF or
// lone CR as %0D%0A.
bool AppendEncoded(Text& url, const char* text, size_t length, bool lineBreaks) {
    if (!lineBreaks) return AppendPercentEncoded(text, length, url, IsKept);
    for (size_t at = 0; at <= length;) {
        size_t end = at;
        while (end < length && text[end] != '\r' && text[end] != '\n') ++end;
        if (!AppendPercentEncoded(text + at, end - at, url, IsKept)) return false;
        if (end == length) return true;
        if (!url.append("%0D%0A", 6)) return false;
        at = end + (text[end] == '\r' && end + 1 < length && text[end + 1] == '\n' ? 2 : 1);
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

bool BuildMailtoUrl(const ComposeRequest& request, Text& url) {
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
