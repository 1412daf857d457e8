// Text: an owned, zero-terminated 8-bit string on the C runtime's heap.
// The shipped programs keep their strings in it instead of std::string so
// that they carry no C++ library runtime (exceptions, its allocator and
// their support code): a failed allocation is a result, never a throw.
// Appending grows the block geometrically, so building a text of any length
// a piece at a time takes time in proportion to it.
#pragma once

#include <cstddef>
#include <cstring>

class Text {
public:
    Text() = default;
    explicit Text(const char* text) { assign(text); }
    // No copies: one could fail for want of memory with nowhere to say so.
    // assign(other.c_str(), other.size()) copies and reports.
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    Text(Text&& other) noexcept : data(other.data), length(other.length), capacity(other.capacity) {
        other.data = nullptr;
        other.length = 0;
        other.capacity = 0;
    }
    Text& operator=(Text&& other) noexcept;
    Text& operator=(const char* text) {
        assign(text);
        return *this;
    }
    ~Text() { clear(); }

    // Never null: the empty text is "".
    const char* c_str() const { return data != nullptr ? data : ""; }
    size_t size() const { return length; }
    bool empty() const { return length == 0; }

    // Empties the text and lets its block go; assign("", 0) keeps the block.
    void clear();
    // Replace the content with text (null means empty) or its first count
    // bytes. On a failed allocation the text is left as it was and false
    // is returned.
    bool assign(const char* text);
    bool assign(const char* text, size_t count);
    // Appends count bytes (text may point into this string); on a failed
    // allocation the text is left unchanged and false is returned.
    bool append(const char* text, size_t count) {
        if (count >= capacity - length) return Grow(text, count);
        std::memmove(data + length, text, count);
        length += count;
        data[length] = '\0';
        return true;
    }

    // Makes room for a text of size bytes, so that appending up to it asks
    // for no more memory; false when there is none.
    bool reserve(size_t size) { return Reserve(size); }

    // Position of the first occurrence of pattern at or after from, or npos.
    size_t find(const char* pattern, size_t patternLength, size_t from) const;
    static constexpr size_t npos = static_cast<size_t>(-1);

private:
    // Makes room for a text of size bytes and its terminator.
    bool Reserve(size_t size);
    // append where the block must grow first.
    bool Grow(const char* text, size_t count);

    char* data = nullptr;
    size_t length = 0;
    size_t capacity = 0;  // bytes of data, the terminator's included
};

bool operator==(const Text& text, const char* other);
inline bool operator!=(const Text& text, const char* other) {
    return !(text == other);
}
