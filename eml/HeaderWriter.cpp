#include "eml/HeaderWriter.h"

#include <cstring>

namespace {

// Lines longer than this are folded where a blank allows it.
constexpr size_t kFoldColumn = 78;

}  // namespace

bool HeaderWriter::Start(const char* name) {
    column_ = std::strlen(name) + 1;
    lineHasToken_ = false;
    return out_.Put(name, column_ - 1) && out_.PutByte(':');
}

bool HeaderWriter::Token(const char* text, size_t length, bool blankBefore) {
    if (blankBefore) {
        if (lineHasToken_ && length != 0 && column_ + 1 + length > kFoldColumn) {
            if (!out_.Put("\r\n", 2)) return false;
            column_ = 0;
        }
        if (!out_.PutByte(' ')) return false;
        ++column_;
    }
    column_ += length;
    if (length != 0) lineHasToken_ = true;
    return out_.Put(text, length);
}

bool HeaderWriter::Token(const char* text, bool blankBefore) {
    return Token(text, std::strlen(text), blankBefore);
}

bool HeaderWriter::End() {
    return out_.Put("\r\n", 2);
}
