// The stand-in's ShellExecuteExW for URLs and files: the desktop's handler
// for the scheme or the file's type gets the URL or path as one argument,
// runs without a shell and is not waited for.
#include <windows.h>
#include <objbase.h>
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

std::wstring Wide(const char* utf8) {
    std::wstring wide(std::string(utf8).size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], static_cast<int>(wide.size())) -
                1);
    return wide;
}

// What ShellExecuteExW left in hInstApp: above 32 when it started the handler.
INT_PTR Open(const char* target, ULONG mask = SEE_MASK_NOASYNC, bool com = true) {
    const std::wstring file = target != nullptr ? Wide(target) : std::wstring();
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = mask;
    info.lpVerb = L"open";
    info.lpFile = target != nullptr ? file.c_str() : nullptr;
    if (com) EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    const BOOL started = ShellExecuteExW(&info);
    if (com) CoUninitialize();
    EXPECT_EQ(started != FALSE, reinterpret_cast<INT_PTR>(info.hInstApp) > 32) << target;
    return reinterpret_cast<INT_PTR>(info.hInstApp);
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
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Open(nullptr), SE_ERR_FNF);
    // What a caller that exits at once must do: initialise COM and ask for
    // a synchronous launch.
    desktop.MailtoHandler(desktop.Recorder("rec") + " %u");
    EXPECT_EQ(Open(kUrl, 0), 0) << "without SEE_MASK_NOASYNC";
    EXPECT_EQ(Open(kUrl, SEE_MASK_NOASYNC, false), 0) << "without COM";
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), RPC_E_CHANGED_MODE);
    EXPECT_EQ(Open(kUrl, SEE_MASK_NOASYNC, false), 0) << "COM multithreaded";
    CoUninitialize();
}

// A draft message file opens with the program registered for message/rfc822;
// a file of another type, or none registered, is SE_ERR_NOASSOC. Paths are
// UTF-8 on the way to the file system.
TEST(ShellExecute, FilesOpenWithTheHandlerOfTheirType) {
    TempDesktop desktop;
    const std::string recorder = desktop.Recorder("rec");
    desktop.Write("drafts/new \xC5\x81\xC3\xB3\x64\xC5\xBA draft.EML", "X-Unsent: 1\r\n");
    desktop.Write("drafts/notes.csv", "a,b\r\n");
    const std::string draft = desktop.root() + "/drafts/new \xC5\x81\xC3\xB3\x64\xC5\xBA draft.EML";
    EXPECT_EQ(Open(draft.c_str()), SE_ERR_NOASSOC) << "nothing registered";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_ASSOCIATION));
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
