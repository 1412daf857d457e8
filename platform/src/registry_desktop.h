// The desktop's own handlers for URL schemes and file types, as the
// stand-in registry's answer for HKEY_CLASSES_ROOT\<scheme>\shell\open\command
// and as the program ShellExecuteA starts for a file.
#pragma once

#include <string>

// Finds the application the desktop runs for `scheme` links (the
// freedesktop.org MIME applications database: x-scheme-handler/<scheme> in
// mimeapps.list, through the XDG config and data directories in order) and
// gives the Exec line of its desktop entry exactly as written there.
bool DesktopSchemeHandlerCommand(const std::string& scheme, std::string& command);

// The same for a MIME type such as "message/rfc822".
bool DesktopMimeHandlerCommand(const std::string& type, std::string& command);
