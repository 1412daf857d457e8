// An e-mail address written so that a reader takes it for one address, whole
// (RFC 5322, with RFC 6532's UTF-8).
#pragma once

#include "text/Text.h"

// The local part as a dot-atom, or else as a quoted-string; the domain as a
// dot-atom or a domain literal ("[192.0.2.1]"). false when the address has
// no local part or domain (split at its last '@'), a character no address
// can hold (a control character; a blank or special in the domain), or is
// longer than the 254 characters a mail system delivers to.
bool FormMailboxAddress(const Text& address, Text& mailbox);
