#include "text/Text.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

Text& Text::operator=(Text&& other) noexcept {
    if (this != &other) {
        clear();
        data = other.data;
        length = other.length;
        capacity = other.capacity;
        other.data = nullptr;
        other.length = 0;
        other.capacity = 0;
    }
    return *this;
}

void Text::clear() {
    std::free(data);
    data = nullptr;
    length = 0;
    capacity = 0;
}

bool Text::Reserve(size_t size) {
    if (size >= SIZE_MAX / 2) return false;
    if (size < capacity) return true;
    // At least double: n appends cost O(n) copying in all.
    const size_t grown = size + 1 > 2 * capacity ? size + 1 : 2 * capacity;
    char* moved = static_cast<char*>(std::realloc(data, grown));
    if (moved == nullptr) return false;
    data = moved;
    capacity = grown;
    return true;
}

bool Text::assign(const char* text) {
    return assign(text, text != nullptr ? std::strlen(text) : 0);
}

bool Text::assign(const char* text, size_t count) {
    if (count >= capacity) {
        // A new block, filled before the old one goes: text may point into it.
        if (count >= SIZE_MAX / 2) return false;
        char* copy = static_cast<char*>(std::malloc(count + 1));
        if (copy == nullptr) return false;
        if (count != 0) std::memcpy(copy, text, count);
        std::free(data);
        data = copy;
        capacity = count + 1;
    } else if (count != 0) {
        std::memmove(data, text, count);
    }
    data[count] = '\0';
    length = count;
    return true;
}

bool Text::Grow(const char* text, size_t count) {
    if (count == 0) return true;
    if (count >= SIZE_MAX / 2 - length) return false;
    // Where text lies within this string, it moves with the block.
    const bool inside = data != nullptr && text >= data && text < data + capacity;
    const size_t offset = inside ? static_cast<size_t>(text - data) : 0;
    if (!Reserve(length + count)) return false;
    std::memmove(data + length, inside ? data + offset : text, count);
    length += count;
    data[length] = '\0';
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
