// GetCommandLineW: the process's arguments as Windows would hold them. On
// Linux they reach the program as bytes, read here as the ANSI code page
// (Windows-1252), and each is quoted so that the C runtime's rules split the
// line back into the same arguments.
#include <windows.h>

#include "platform_process_testing.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// An argument as a command line holds it: quoted when it is empty or holds
// a blank or quote, with backslashes doubled before a quote.
std::string Quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

std::wstring Build() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string line;
    size_t start = 0;
    for (size_t end = all.find('\0'); end != std::string::npos;
         start = end + 1, end = all.find('\0', start)) {
        const std::string argument = all.substr(start, end - start);
        if (start == 0) {
            // The program name's quotes only group.
            line += argument.find_first_of(" \t") == std::string::npos ? argument
                                                                       : "\"" + argument + "\"";
        } else {
            line += " " + Quoted(argument);
        }
    }
    std::wstring wide(line.size(), L'\0');
    if (!line.empty()) {
        MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()), &wide[0],
                            static_cast<int>(wide.size()));
    }
    return wide;
}

std::wstring& Line() {
    static std::wstring line = Build();
    return line;
}

}  // namespace

extern "C" LPWSTR WINAPI GetCommandLineW(VOID) {
    return &Line()[0];
}

void PlatformSetCommandLineW(const WCHAR* line) {
    Line() = line;
}
