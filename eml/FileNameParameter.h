// An attachment's name as a MIME parameter (RFC 2045, with RFC 2231 for
// what a quoted string cannot carry), on lines of at most 78 characters
// wherever RFC 2231's pieces can make them so.
#pragma once

#include "text/Text.h"

// Appends ";", CR LF, a tab and parameter="name" for the UTF-8 name, or, with
// rfc2231, what makes it read back exactly: printable ASCII without '"' and
// '\' quoted, in pieces (parameter*0="..."; parameter*1="...") once a line
// cannot hold it; any other name percent-encoded after "utf-8''", in pieces
// that never split an escape nor the escapes of one character. Without
// rfc2231 the name stays whole, with '_' for each character outside
// printable ASCII, for readers that know no RFC 2231. An empty name yields
// nothing with rfc2231. false when memory runs out.
bool AppendFileNameParameter(const char* parameter, const Text& utf8, bool rfc2231, Text& out);
