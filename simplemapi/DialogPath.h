// The 8-bit path by which the send dialog's client will open a file. MAPI's
// send dialog takes paths in the ANSI code page, and a path converted with
// look-alikes can name another file ("report－final.pdf" as
// "report-final.pdf"), so only a path that names the same file serves.
#pragma once

#include <windows.h>

#include "text/ComposeRequest.h"
#include "text/Text.h"

// Sets path to the file's own path where it converts without loss and fits
// MAX_PATH - 1 bytes, else to its short (8.3) form where that does, and
// shortForm to which. When the file is open, the path is opened as the
// client will open it and must name the same file. false when no 8-bit path
// names it (or memory runs out): the client could not attach it.
bool DialogPath(const AttachedFile& file, Text& path, bool& shortForm);
