// The stand-in's ShellExecuteA for URLs and files: the desktop's handler for
// the scheme or the file's type gets the URL or path as one argument, runs
// without a shell and is not waited for.
#include <windows.h>
#include <shellapi.h>

#include <errno.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "TempDesktop.h"

namespace {

using Lines = std::vector<std::string>;

// What the recorder wrote, once it has (at most five seconds).
Lines Recorded(const std::string& recorder) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::ifstream in;
    while (!(in.open(recorder + ".out"), in.is_open()) &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Lines lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

INT_PTR Open(const char* url, const char* verb = "open") {
    return reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, verb, url, nullptr, nullptr, SW_SHOWNORMAL));
}

// Shell metacharacters and percent signs pass untouched: no shell runs.
const char kUrl[] = "mailto:a@x.org?subject=%25u%20$HOME;`id`&body=*";

TEST(ShellExecute, ExecLineBecomesTheHandlersArguments) {
    const struct {
        const char* exec;  // "REC" stands for the recorder's path
        Lines arguments;
    } cases[] = {
        {"REC %u", {kUrl}},
        {"REC --compose %U --new", {"--compose", kUrl, "--new"}},
        {"REC", {kUrl}},
        {"\"REC\" \"two words\" \"a\\sb\" 100%% %i %c %k %F", {"two words", "a b", "100%", kUrl}},
        {"REC \"say \\\"hi\\\" \\\\\\\\o/\" --url=%u",
         {"say \"hi\" \\o/", std::string("--url=") + kUrl}},
        {"REC %f %u", {kUrl}},
    };
    for (const auto& c : cases) {
        TempDesktop desktop;
        const std::string recorder = desktop.Recorder("rec");
        std::string exec = c.exec;
        exec.replace(exec.find("REC"), 3, recorder);
        desktop.MailtoHandler(exec);
        EXPECT_GT(Open(kUrl), 32) << c.exec;
        EXPECT_EQ(Recorded(recorder), c.arguments) << c.exec;
    }
}

TEST(ShellExecute, FailuresAsWindowsReportsThem) {
    TempDesktop desktop;
    EXPECT_EQ(Open(kUrl), SE_ERR_NOASSOC) << "no handler";
    desktop.MailtoHandler("\"unclosed %u");
    EXPECT_EQ(Open(kUrl), SE_ERR_NOASSOC) << "unclosed quote";
    desktop.MailtoHandler(desktop.root() + "/missing %u");
    EXPECT_EQ(Open(kUrl), SE_ERR_FNF) << "handler program missing";
    desktop.Write("not-executable", "#!/bin/sh\n");
    desktop.MailtoHandler(desktop.root() + "/not-executable %u");
    EXPECT_EQ(Open(kUrl), SE_ERR_ACCESSDENIED);
    EXPECT_EQ(Open("C:\\docs\\q.pdf"), SE_ERR_FNF) << "not a URL, no such file";
    EXPECT_EQ(Open(nullptr), SE_ERR_FNF);
}

// A draft message file opens with the program registered for message/rfc822;
// a file of another type, or none registered, is SE_ERR_NOASSOC.
TEST(ShellExecute, FilesOpenWithTheHandlerOfTheirType) {
    TempDesktop desktop;
    const std::string recorder = desktop.Recorder("rec");
    desktop.Write("drafts/new draft.EML", "X-Unsent: 1\r\n");
    desktop.Write("drafts/notes.csv", "a,b\r\n");
    const std::string draft = desktop.root() + "/drafts/new draft.EML";
    EXPECT_EQ(Open(draft.c_str()), SE_ERR_NOASSOC) << "nothing registered";
    desktop.Handler("message/rfc822", recorder + " --open %f");
    EXPECT_EQ(Open((desktop.root() + "/drafts/notes.csv").c_str()), SE_ERR_NOASSOC);
    EXPECT_EQ(Open((desktop.root() + "/drafts/gone.eml").c_str()), SE_ERR_FNF);
    EXPECT_GT(Open(draft.c_str()), 32);
    EXPECT_EQ(Recorded(recorder), (Lines{"--open", draft}));
}

TEST(ShellExecute, DoesNotWaitAndLeavesNoChild) {
    TempDesktop desktop;
    desktop.Write("slow", "#!/bin/sh\nsleep 3\n");
    chmod((desktop.root() + "/slow").c_str(), 0700);
    desktop.MailtoHandler(desktop.root() + "/slow %u");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_GT(Open(kUrl), 32);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD) << "a child of ours is left to reap";
}

}  // namespace
