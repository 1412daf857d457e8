// The desktop's own URL-scheme handlers, as the stand-in registry's answer
// for HKEY_CLASSES_ROOT\<scheme>\shell\open\command.
#pragma once

#include <string>

// Finds the application the desktop runs for `scheme` links (the
// freedesktop.org MIME applications database: x-scheme-handler/<scheme> in
// mimeapps.list, through the XDG config and data directories in order) and
// gives the Exec line of its desktop entry exactly as written there.
bool DesktopSchemeHandlerCommand(const std::string& scheme, std::string& command);
