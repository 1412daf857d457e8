// GetCommandLineW reads each Linux argument as UTF-8 where it is valid UTF-8
// and else in the ANSI code page, and quotes it for the runtime's rules.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The line the probe's GetCommandLineW gives, run as "probe" with arguments.
std::wstring CommandLineOf(const char* codePage, const std::vector<std::string>& arguments) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return L"(no pipe)";
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], 1);
        close(pipeEnds[0]);
        setenv("QUILLORA_TEST_ANSI_CODE_PAGE", codePage, 1);
        std::vector<char*> argv{const_cast<char*>("probe")};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(QUILLORA_COMMAND_LINE_PROBE, argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string hex;
    char buffer[256];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        hex.append(buffer, got);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return L"(probe failed)";
    std::wstring line;
    for (size_t at = 0; at + 4 <= hex.size(); at += 5) {
        line += static_cast<wchar_t>(std::strtoul(hex.substr(at, 4).c_str(), nullptr, 16));
    }
    return line;
}

TEST(CommandLine, Utf8WhereValidElseTheAnsiCodePage) {
    const struct {
        const char* codePage;
        std::vector<std::string> arguments;
        std::wstring line;
    } cases[] = {
        {"1252",
         {"-to", "caf\xE9",
          "\xC5\x81\xC3\xB3"
          "d\xC5\xBA"},
         L"probe -to caf\xE9 \x141\xF3"
         L"d\x17A"},
        {"1252", {"a b", "", "q\"x\\"}, L"probe \"a b\" \"\" \"q\\\"x\\\\\""},
        {"1252", {"\x80\x9F"}, L"probe \x20AC\x178"},
        {"932", {"\x95\x5C", "\xE8\xA1\xA8"}, L"probe \x8868 \x8868"},
        {"932", {"\x83\x41 \x83\x5C"}, L"probe \"\x30A2 \x30BD\""},
        {"65001", {"caf\xE9"}, L"probe caf\xFFFD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandLineOf(c.codePage, c.arguments), c.line)
            << c.codePage << " " << c.arguments[0];
    }
}

}  // namespace
