// A recipient header field (To, Cc, Bcc) of a draft, from a recipient list
// of the request.
#pragma once

#include <windows.h>

#include "eml/HeaderWriter.h"
#include "text/Text.h"

// Writes "name: " and the entries of list (split as every road splits it,
// text of codePage), separated by ", ", when the list yields at least one
// non-blank entry; otherwise writes nothing. An entry that holds an address
// is written as that mailbox (display name as a phrase, then <address>); any
// other entry, trimmed, as a phrase of its own text, for the mail app to
// resolve as a typed name. false when the text cannot be converted or the
// draft cannot be written.
bool WriteAddressList(HeaderWriter& header, const char* name, const char* list, UINT codePage);

// The address (ASCII) as an RFC 5322 addr-spec: the local part as a
// dot-atom or else a quoted-string, the domain as a dot-atom or a domain
// literal. false when it cannot be one (no local part or domain, a byte
// outside printable ASCII, longer than 254 characters).
bool FormAddrSpec(const char* address, size_t length, Text& addrSpec);
