#include "front/TextHelpers.h"

#include <mbstring.h>

#include <cstring>
#include <vector>

#include "front/PathParts.h"

namespace {

// The working buffer of a recipient list: 99 characters and the terminator
// fit on the stack; a longer list gets a heap buffer of its own size, so no
// recipient is ever lost and nothing is written past a buffer.
constexpr size_t kListBufferSize = 100;

}  // namespace

void SplitRecipientList(const char* list, RecipientKind kind,
                        const std::function<void(const char*, RecipientKind)>& add) {
    if (list == nullptr) return;
    const size_t length = std::strlen(list);
    unsigned char fixed[kListBufferSize];
    std::vector<unsigned char> large;
    unsigned char* buffer = fixed;
    if (length >= kListBufferSize) {
        large.resize(length + 1);
        buffer = large.data();
    }
    std::memcpy(buffer, list, length + 1);

    // Cut the whole list before handing out any token, so that whatever add()
    // does cannot disturb the tokeniser's state.
    static const unsigned char kDelimiters[] = ";";
    std::vector<const char*> tokens;
    for (unsigned char* token = _mbstok(buffer, kDelimiters); token != nullptr;
         token = _mbstok(nullptr, kDelimiters)) {
        tokens.push_back(reinterpret_cast<const char*>(token));
    }
    for (const char* token : tokens) add(token, kind);
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
    std::memcpy(out, parts.name.data(), parts.name.size());
    std::memcpy(out + parts.name.size(), parts.ext.data(), parts.ext.size());
    out[length] = '\0';
    return true;
}

std::string& ReplaceAll(std::string& text, const std::string& pattern,
                        const std::string& replacement) {
    if (pattern.empty()) return text;
    size_t position = 0;
    while ((position = text.find(pattern, position)) != std::string::npos) {
        text.replace(position, pattern.size(), replacement);
        position += replacement.size();
    }
    return text;
}
