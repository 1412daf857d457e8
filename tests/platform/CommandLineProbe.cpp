// Prints GetCommandLineW in UTF-8, the ANSI code page being the one that
// QUILLORA_TEST_ANSI_CODE_PAGE names: CommandLineTest runs it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "platform_process_testing.h"

int main() {
    if (!PlatformSetAnsiCodePage(std::atoi(std::getenv("QUILLORA_TEST_ANSI_CODE_PAGE")))) return 2;
    char line[4096];
    if (WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, line, sizeof line, nullptr,
                            nullptr) == 0) {
        return 3;
    }
    std::fputs(line, stdout);
    return 0;
}
