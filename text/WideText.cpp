#include "text/WideText.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

void WideText::clear() {
    std::free(data_);
    data_ = nullptr;
    length_ = 0;
    capacity_ = 0;
}

bool WideText::Reserve(size_t count) {
    if (count < capacity_) return true;
    if (count >= SIZE_MAX / sizeof(WCHAR) / 2) return false;
    const size_t grown = count + 1 > 2 * capacity_ ? count + 1 : 2 * capacity_;
    WCHAR* moved = static_cast<WCHAR*>(std::realloc(data_, grown * sizeof(WCHAR)));
    if (moved == nullptr) return false;
    data_ = moved;
    capacity_ = grown;
    return true;
}

bool WideText::assign(const WCHAR* text, size_t count) {
    // A copy first: text may point into this string.
    WideText copy;
    if (!copy.append(text, count)) return false;
    clear();
    data_ = copy.data_;
    length_ = copy.length_;
    capacity_ = copy.capacity_;
    copy.data_ = nullptr;
    return true;
}

bool WideText::append(const WCHAR* text, size_t count) {
    if (count >= SIZE_MAX / 4 - length_) return false;
    const bool inside = data_ != nullptr && text >= data_ && text < data_ + capacity_;
    const size_t offset = inside ? static_cast<size_t>(text - data_) : 0;
    if (!Reserve(length_ + count)) return false;
    if (count != 0)
        std::memmove(data_ + length_, inside ? data_ + offset : text, count * sizeof(WCHAR));
    length_ += count;
    data_[length_] = 0;
    return true;
}

bool WideText::appendAscii(const char* ascii) {
    const size_t count = std::strlen(ascii);
    if (!Reserve(length_ + count)) return false;
    for (size_t i = 0; i < count; ++i) data_[length_ + i] = static_cast<unsigned char>(ascii[i]);
    length_ += count;
    data_[length_] = 0;
    return true;
}

WCHAR* WideText::Buffer(size_t count) {
    if (!Reserve(count)) return nullptr;
    data_[count] = 0;
    return data_;
}

void WideText::SetSize(size_t count) {
    if (data_ == nullptr || count >= capacity_) return;
    length_ = count;
    data_[length_] = 0;
}

size_t WideLength(const WCHAR* wide) {
    size_t length = 0;
    while (wide[length] != 0) ++length;
    return length;
}
