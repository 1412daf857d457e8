// WideText: an owned, zero-terminated UTF-16 string on the C runtime's heap,
// for paths and text handed to the system's W calls. Like Text, a failed
// allocation is a result, never a throw.
#pragma once

#include <windows.h>

#include <cstddef>

class WideText {
public:
    WideText() = default;
    WideText(const WideText&) = delete;
    WideText& operator=(const WideText&) = delete;
    WideText(WideText&& other) noexcept
        : data_(other.data_), length_(other.length_), capacity_(other.capacity_) {
        other.data_ = nullptr;
        other.length_ = other.capacity_ = 0;
    }
    ~WideText() { clear(); }

    // Never null: the empty text is L"".
    const WCHAR* c_str() const { return data_ != nullptr ? data_ : kEmpty; }
    size_t size() const { return length_; }
    bool empty() const { return length_ == 0; }

    void clear();
    // Replace the content, or append to it; on a failed allocation the text
    // is left as it was and false is returned.
    bool assign(const WCHAR* text, size_t count);
    bool append(const WCHAR* text, size_t count);
    // Appends ASCII text, a unit per character.
    bool appendAscii(const char* ascii);
    // Room for count units and a terminator, for a call that writes into
    // it: null when there is no memory. SetSize then says how many it wrote.
    WCHAR* Buffer(size_t count);
    void SetSize(size_t count);

private:
    bool Reserve(size_t count);

    static constexpr WCHAR kEmpty[1] = {0};
    WCHAR* data_ = nullptr;
    size_t length_ = 0;
    size_t capacity_ = 0;  // units of data_, the terminator's included
};

// The length of a zero-terminated UTF-16 text, in units.
size_t WideLength(const WCHAR* wide);
