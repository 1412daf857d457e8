// The text part's body: UTF-8 text as quoted-printable (RFC 2045), with
// every line break of the text (LF, CR LF, lone CR) a CR LF.
#pragma once

#include <cstddef>

#include "eml/DraftOutput.h"

// Writes text as quoted-printable lines of at most 76 characters. With
// closeLine, a text that does not end with a line break ends with a soft one
// ("=" CR LF), so the output ends with CR LF and decodes to the text alone.
bool WriteQuotedPrintable(DraftOutput& out, const char* text, size_t length, bool closeLine);
