#include "text/TextHelpers.h"

#include <mbstring.h>

#include <cstdlib>
#include <cstring>

#include "text/HeapBlock.h"
#include "text/PathParts.h"

namespace {

// The working buffer of a recipient list: 99 characters and the terminator
// fit on the stack; a longer list gets a heap buffer of its own size, so no
// recipient is ever lost and nothing is written past a buffer.
constexpr size_t kListBufferSize = 100;

// The first occurrence of pattern at or after from (a character boundary),
// scanning whole characters of codePage: in a double-byte code page a trail
// byte never starts a match, so 0x5C after a lead byte is no backslash. A
// lead byte last in the text or before a zero byte stands alone.
size_t FindByCharacter(const Text& text, const char* pattern, size_t patternLength, size_t from,
                       UINT codePage) {
    const char* bytes = text.c_str();
    for (size_t at = from; at + patternLength <= text.size();) {
        if (std::memcmp(bytes + at, pattern, patternLength) == 0) return at;
        const bool pair = IsLeadByte(static_cast<unsigned char>(bytes[at]), codePage) &&
                          at + 1 < text.size() && bytes[at + 1] != '\0';
        at += pair ? 2 : 1;
    }
    return Text::npos;
}

// The next token of a UTF-8 list at *cursor, as _mbstok cuts one: leading
// delimiters skipped, the one after the token overwritten with a zero.
unsigned char* NextUtf8Token(unsigned char*& cursor) {
    while (*cursor == ';') ++cursor;
    if (*cursor == '\0') return nullptr;
    unsigned char* token = cursor;
    while (*cursor != '\0' && *cursor != ';') ++cursor;
    if (*cursor == ';') *cursor++ = '\0';
    return token;
}

}  // namespace

bool IsLeadByte(unsigned char byte, UINT codePage) {
    return codePage != CP_UTF8 && _ismbblead(byte);
}

void SplitRecipientList(const char* list, RecipientKind kind, AddRecipientCallback add,
                        void* context, UINT codePage) {
    if (list == nullptr) return;
    const size_t length = std::strlen(list);
    unsigned char fixed[kListBufferSize];
    HeapBlock large(length >= kListBufferSize ? length + 1 : 0);
    unsigned char* buffer = fixed;
    if (length >= kListBufferSize) {
        // Without memory for the list no recipient of it can be added.
        if (large.get() == nullptr) return;
        buffer = static_cast<unsigned char*>(large.get());
    }
    std::memcpy(buffer, list, length + 1);

    // Cut the whole list before handing out any token, so that whatever add()
    // does cannot disturb the tokeniser's state. Tokens are separated by at
    // least one delimiter, so a list of n bytes holds at most (n + 1) / 2.
    const size_t most = (length + 1) / 2;
    HeapBlock tokenBlock(most * sizeof(const char*));
    const char** tokens = static_cast<const char**>(tokenBlock.get());
    if (most != 0 && tokens == nullptr) return;
    static const unsigned char kDelimiters[] = ";";
    size_t count = 0;
    if (codePage == CP_UTF8) {
        unsigned char* cursor = buffer;
        for (unsigned char* token = NextUtf8Token(cursor); token != nullptr && count < most;
             token = NextUtf8Token(cursor)) {
            tokens[count++] = reinterpret_cast<const char*>(token);
        }
    } else {
        for (unsigned char* token = _mbstok(buffer, kDelimiters); token != nullptr && count < most;
             token = _mbstok(nullptr, kDelimiters)) {
            tokens[count++] = reinterpret_cast<const char*>(token);
        }
    }
    for (size_t i = 0; i < count; ++i) add(tokens[i], kind, context);
}

bool AttachmentDisplayName(const char* path, char* out) {
    if (path == nullptr) return false;
    const PathParts parts = SplitPathParts(path);
    if (parts.name.empty() || parts.ext.empty()) return true;
    // A name or extension cut to the runtime's part size, or a name too long
    // for out, would give a truncated display name: form none, and the
    // attachment is known by its own file name.
    if (parts.nameCut || parts.extCut) return true;
    const size_t length = parts.name.size() + parts.ext.size();
    if (length >= kDisplayNameSize) return true;
    std::memcpy(out, parts.name.c_str(), parts.name.size());
    std::memcpy(out + parts.name.size(), parts.ext.c_str(), parts.ext.size());
    out[length] = '\0';
    return true;
}

bool AttachmentFileName(const char* path, Text& name) {
    if (path == nullptr) return false;
    const PathParts parts = SplitPathParts(path);
    return name.assign(parts.name.c_str(), parts.name.size()) &&
           name.append(parts.ext.c_str(), parts.ext.size());
}

Text& ReplaceAll(Text& text, const char* pattern, const char* replacement, UINT codePage) {
    const size_t patternLength = std::strlen(pattern);
    const size_t replacementLength = std::strlen(replacement);
    if (patternLength == 0) return text;
    size_t occurrences = 0;
    for (size_t at = FindByCharacter(text, pattern, patternLength, 0, codePage); at != Text::npos;
         at = FindByCharacter(text, pattern, patternLength, at + patternLength, codePage)) {
        ++occurrences;
    }
    if (occurrences == 0) return text;

    // Build the result in one block of its final size.
    const size_t resultLength =
        text.size() - occurrences * patternLength + occurrences * replacementLength;
    HeapBlock block(resultLength + 1);
    char* result = static_cast<char*>(block.get());
    if (result == nullptr) return text;
    const char* source = text.c_str();
    char* out = result;
    size_t from = 0;
    for (size_t at = FindByCharacter(text, pattern, patternLength, 0, codePage); at != Text::npos;
         at = FindByCharacter(text, pattern, patternLength, from, codePage)) {
        std::memcpy(out, source + from, at - from);
        out += at - from;
        std::memcpy(out, replacement, replacementLength);
        out += replacementLength;
        from = at + patternLength;
    }
    std::memcpy(out, source + from, text.size() - from);
    text.assign(result, resultLength);
    return text;
}

bool AppendDecimal(Text& text, unsigned long long number, size_t minDigits) {
    char digits[24];
    size_t at = sizeof digits;
    do {
        digits[--at] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while ((number != 0 || sizeof digits - at < minDigits) && at > 0);
    return text.append(digits + at, sizeof digits - at);
}
