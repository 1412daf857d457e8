#include "text/RecipientEntry.h"

#include <cstring>

#include "text/TextHelpers.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// text[begin, end) without surrounding blanks.
void Trim(const char* text, size_t& begin, size_t& end) {
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
}

// Where the single-byte characters of interest stand, stepping over
// double-byte characters whole.
struct Marks {
    size_t open = Text::npos;   // the last '<'
    size_t close = Text::npos;  // the first '>' after it
    bool atSign = false;        // an '@' anywhere
    bool atSignInside = false;  // an '@' between open and close
};

Marks FindMarks(const char* entry, size_t length, UINT codePage) {
    Marks marks;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(entry[i]);
        if (IsLeadByte(c, codePage) && i + 1 < length) {
            ++i;
        } else if (c == '<') {
            marks.open = i;
            marks.close = Text::npos;
            marks.atSignInside = false;
        } else if (c == '>' && marks.open != Text::npos && marks.close == Text::npos) {
            marks.close = i;
        } else if (c == '@') {
            marks.atSign = true;
            if (marks.open != Text::npos && marks.close == Text::npos) marks.atSignInside = true;
        }
    }
    return marks;
}

}  // namespace

bool SplitRecipientEntry(const char* entry, Text& displayName, Text& address, UINT codePage) {
    if (entry == nullptr) return false;
    const size_t length = std::strlen(entry);
    const Marks marks = FindMarks(entry, length, codePage);
    if (!marks.atSign) return false;

    if (marks.close != Text::npos && marks.atSignInside) {
        size_t addressBegin = marks.open + 1, addressEnd = marks.close;
        Trim(entry, addressBegin, addressEnd);
        size_t nameBegin = 0, nameEnd = marks.open;
        Trim(entry, nameBegin, nameEnd);
        if (nameEnd - nameBegin >= 2 && entry[nameBegin] == '"' && entry[nameEnd - 1] == '"') {
            ++nameBegin;
            --nameEnd;
        }
        return address.assign(entry + addressBegin, addressEnd - addressBegin) &&
               displayName.assign(entry + nameBegin, nameEnd - nameBegin);
    }
    size_t begin = 0, end = length;
    Trim(entry, begin, end);
    return address.assign(entry + begin, end - begin) && displayName.assign("");
}
