#include "text/Text.h"

#include <cstdlib>
#include <cstring>

Text& Text::operator=(const Text& other) {
    if (this != &other) assign(other.c_str(), other.size());
    return *this;
}

Text& Text::operator=(Text&& other) noexcept {
    if (this != &other) {
        clear();
        data = other.data;
        length = other.length;
        other.data = nullptr;
        other.length = 0;
    }
    return *this;
}

void Text::clear() {
    std::free(data);
    data = nullptr;
    length = 0;
}

bool Text::assign(const char* text) {
    return assign(text, text != nullptr ? std::strlen(text) : 0);
}

bool Text::assign(const char* text, size_t count) {
    // Copy first: text may point into this very string.
    char* copy = static_cast<char*>(std::malloc(count + 1));
    if (copy == nullptr) return false;
    if (count != 0) std::memcpy(copy, text, count);
    copy[count] = '\0';
    clear();
    data = copy;
    length = count;
    return true;
}

bool Text::append(const char* text, size_t count) {
    if (count == 0) return true;
    char* grown = static_cast<char*>(std::malloc(length + count + 1));
    if (grown == nullptr) return false;
    if (length != 0) std::memcpy(grown, data, length);
    std::memcpy(grown + length, text, count);
    grown[length + count] = '\0';
    std::free(data);
    data = grown;
    length += count;
    return true;
}

size_t Text::find(const char* pattern, size_t patternLength, size_t from) const {
    if (patternLength == 0) return from <= length ? from : npos;
    if (from > length || patternLength > length - from) return npos;
    for (size_t at = from; at + patternLength <= length; ++at) {
        if (std::memcmp(data + at, pattern, patternLength) == 0) return at;
    }
    return npos;
}

bool operator==(const Text& text, const char* other) {
    if (other == nullptr) return false;
    return std::strlen(other) == text.size() && std::memcmp(text.c_str(), other, text.size()) == 0;
}
