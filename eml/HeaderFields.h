// The header fields of a draft message (RFC 5322, with RFC 2047 words for
// text outside ASCII): recipients, subject and date, folded so that no line
// passes 78 characters where a fold is possible, and none ever 998.
#pragma once

#include <windows.h>

#include "text/ComposeRequest.h"
#include "text/Text.h"

// Appends "Date" (utc, "+0000"; first, so that a reader guessing the type
// from the content takes the file for mail), "X-Unsent: 1", "MIME-Version:
// 1.0" and the To, Cc, Bcc and Subject fields that the request (UTF-8)
// yields, each ending in CR LF. No line passes 998 octets, whatever the
// names hold. A CR, LF or other
// control character never reaches a field as it is: in text it is encoded,
// in an address it is left out, so no field can start another. An address
// is quoted where a reader would otherwise split it or take it for a group;
// one that no mailbox can hold makes its entry a name. An entry yields
// no one when it holds neither an address nor a name.
bool AppendHeaderFields(const ComposeRequest& request, const SYSTEMTIME& utc, Text& out);
