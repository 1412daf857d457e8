// The mailto: URL (RFC 6068) of a compose request, for mail setups reached
// through the shell's link handler instead of MAPI.
#pragma once

#include <windows.h>

#include <cstddef>

#include "text/ComposeRequest.h"
#include "text/Text.h"

// The longest URL handed to a handler: longer ones get cut by handlers and
// the shell, and a body cut short is lost text.
constexpr size_t kMailtoUrlLimit = 2000;

// Builds "mailto:" + the To recipients joined by "," + "?cc=", "&bcc=",
// "&subject=", "&body=" for each field given and not empty (a recipient
// list counts as empty when it yields no recipient). Recipients are split
// as both MAPI roads split them; the text is UTF-8, and every byte outside A-Z a-z 0-9 - . _ ~ @ is
// percent-encoded, so the
// "," between recipients is the only literal one. Every line break of the
// body (LF, CR LF, lone CR) becomes %0D%0A. The attachment is not part of
// the URL. false when memory runs out.
bool BuildMailtoUrl(const ComposeRequest& request, Text& url);
