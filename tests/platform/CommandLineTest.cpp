// GetCommandLineW reads each Linux argument as UTF-8 where it is valid UTF-8
// and else in the ANSI code page, and quotes it for the runtime's rules.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The probe's command line in UTF-8, run as "probe" with the arguments.
std::string CommandLineOf(const std::string& codePage, std::vector<std::string> arguments) {
    int out[2];
    if (pipe(out) != 0) return "(no pipe)";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    arguments.insert(arguments.begin(), "probe");
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(&argument[0]);
    argv.push_back(nullptr);
    std::string variable = "QUILLORA_TEST_ANSI_CODE_PAGE=" + codePage;
    char* environment[] = {&variable[0], nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, QUILLORA_COMMAND_LINE_PROBE, &actions, nullptr,
                                    argv.data(), environment);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string line;
    char buffer[256];
    for (ssize_t got; (got = read(out[0], buffer, sizeof buffer)) > 0;) line.append(buffer, got);
    close(out[0]);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child || status != 0) return "(failed)";
    return line;
}

TEST(CommandLine, Utf8WhereValidElseTheAnsiCodePage) {
    const struct {
        const char* codePage;
        std::vector<std::string> arguments;
        const char* line;  // in UTF-8
    } cases[] = {
        {"1252",
         {"-to", "caf\xE9",
          "\xC5\x81\xC3\xB3"
          "d"},
         "probe -to caf\xC3\xA9 \xC5\x81\xC3\xB3"
         "d"},
        {"1252", {"a b", "", "q\"x\\"}, "probe \"a b\" \"\" \"q\\\"x\\\\\""},
        {"932", {"\x95\x5C", "\xE8\xA1\xA8"}, "probe \xE8\xA1\xA8 \xE8\xA1\xA8"},
        // A trail byte 0x5C before the closing quote is no backslash to double.
        {"932", {"\x83\x41 \x83\x5C"}, "probe \"\xE3\x82\xA2 \xE3\x82\xBD\""},
        {"65001", {"caf\xE9"}, "probe caf\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandLineOf(c.codePage, c.arguments), c.line) << c.codePage << " " << c.line;
    }
}

}  // namespace
