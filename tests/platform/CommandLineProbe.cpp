// Prints GetCommandLineW's UTF-16 units in hex, with the ANSI code page that
// QUILLORA_TEST_ANSI_CODE_PAGE names, for CommandLineTest.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "platform_process_testing.h"

int main() {
    if (const char* codePage = std::getenv("QUILLORA_TEST_ANSI_CODE_PAGE")) {
        if (!PlatformSetAnsiCodePage(static_cast<UINT>(std::atoi(codePage)))) return 2;
    }
    for (const WCHAR* unit = GetCommandLineW(); *unit != 0; ++unit) {
        std::printf("%04x ", static_cast<unsigned>(*unit));
    }
    return 0;
}
