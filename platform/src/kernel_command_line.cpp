// GetCommandLineW: the process's arguments as Windows would hold them. On
// Linux they reach the program as bytes: each is read as UTF-8 where it is
// valid UTF-8 and else in the ANSI code page (so code page bytes keep their
// meaning), and each is quoted so that the C runtime's rules split the line
// back into the same arguments.
#include <windows.h>

#include "platform_process_testing.h"

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::wstring Decoded(const std::string& argument) {
    if (argument.empty()) return std::wstring();
    const int size = static_cast<int>(argument.size());
    std::wstring wide(argument.size(), L'\0');
    int length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, argument.data(), size, &wide[0], size);
    if (length == 0) length = MultiByteToWideChar(CP_ACP, 0, argument.data(), size, &wide[0], size);
    wide.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return wide;
}

// An argument as a command line holds it: quoted when it is empty or holds
// a blank or quote, with backslashes doubled before a quote.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

std::wstring Build() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::wstring line;
    size_t start = 0;
    for (size_t end = all.find('\0'); end != std::string::npos;
         start = end + 1, end = all.find('\0', start)) {
        const std::wstring argument = Decoded(all.substr(start, end - start));
        if (start == 0) {
            // The program name's quotes only group.
            line += argument.find_first_of(L" \t") == std::wstring::npos ? argument
                                                                         : L"\"" + argument + L"\"";
        } else {
            line += L" " + Quoted(argument);
        }
    }
    return line;
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
