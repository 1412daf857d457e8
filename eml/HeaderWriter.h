// One header field of a draft, folded as RFC 5322 asks: a token goes on the
// current line while that stays within 78 characters; otherwise a new line
// begins with the blank before it. Unfolding (removing each CR LF) gives back
// the field exactly, so no blank is lost or added.
#pragma once

#include <cstddef>

#include "eml/DraftOutput.h"

class HeaderWriter {
public:
    explicit HeaderWriter(DraftOutput& out) : out_(out) {}

    // Writes "name:".
    bool Start(const char* name);
    // Writes text, after a blank when blankBefore; only such a blank may
    // become a fold, and never before an empty token or the line's first.
    bool Token(const char* text, size_t length, bool blankBefore = true);
    bool Token(const char* text, bool blankBefore = true);
    // Ends the field with CR LF.
    bool End();

private:
    DraftOutput& out_;
    size_t column_ = 0;
    bool lineHasToken_ = false;
};
