// The run report as -log appends it: what it says of the roads and of a
// library's bitness, and how runs share one file. Runs natively and, as a
// Windows program, under Wine against the real kernel.
#include "report/RunReport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "report/LibraryBitness.h"
#include "tests/RequestForTest.h"
#include "tests/TempDirTest.h"

namespace {

// The head of a PE file built for machine: what the loader reads first.
std::string PeHead(uint16_t machine) {
    std::string head(0x200, '\0');
    head[0] = 'M';
    head[1] = 'Z';
    head[0x3C] = static_cast<char>(0x80);  // e_lfanew
    head.replace(0x80, 4, std::string("PE\0\0", 4));
    head[0x84] = static_cast<char>(machine & 0xFF);
    head[0x85] = static_cast<char>(machine >> 8);
    return head;
}

class RunReportTest : public TempDirTest {
protected:
    std::string Log() {
        std::ifstream in(dir_ / "run.log", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static std::wstring Log(const std::filesystem::path& path) { return path.wstring(); }
};

const std::string kUtf8Mark = "\xEF\xBB\xBF";

TEST_F(RunReportTest, LibraryBitnessFromThePeHeader) {
    const struct {
        std::string content;
        int bits;
    } cases[] = {
        {PeHead(0x014C), 32},  // x86
        {PeHead(0x8664), 64},  // x64
        {PeHead(0xAA64), 64},  // ARM64
        {PeHead(0x0200), 0},   // Itanium: neither package loads it
        {"\x7F"
         "ELF" +
             std::string(0x200, '\0'),
         0},                                  // not a Windows library
        {PeHead(0x8664).substr(0, 0x84), 0},  // cut before the machine field
        {"MZ", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LibraryBitness(Write("lib.dll", c.content).c_str()), c.bits) << c.content.size();
    }
    EXPECT_EQ(LibraryBitness((dir_ / "missing.dll").u8string().c_str()), 0);
}

// The report looks up the mail client itself; the scenarios register
// clients under Wine and check those lines (log-reports, optin-client-absent).
TEST_F(RunReportTest, NamesTheClientAndEachRoadsOutcome) {
    DispatchReport dispatch;
    dispatch.drafts.tried = true;
    dispatch.drafts.failure.Call("MAPILogonEx", RoadFailure::Code::HResult, 0x80040111);
    dispatch.sendDialog.skipped = true;
    dispatch.mailtoLink.tried = true;
    dispatch.mailtoLink.failure.Call("ShellExecuteExW", RoadFailure::Code::Shell, 31);

    const RequestForTest request("a@x.org;b;;c", nullptr, nullptr, "Secret subject", nullptr, "");
    RunFacts facts;
    facts.mailto = true;
    facts.dispatch = &dispatch;
    facts.notInCodePage = 3;
    AppendRunReport(Log(dir_ / "run.log").c_str(), *request, facts);

    const std::string text = Log();
    for (const std::string& line :
         {std::string("request: To 3, Cc 0, Bcc 0 recipients, subject 14 bytes, body none, "
                      "-mailto\r\n"),
          std::string("text beyond the ANSI code page: 3 characters (the draft file and link take "
                      "the text as typed, the MAPI roads a look-alike or '?')\r\n"),
          std::string("attachment: , cannot be opened: CreateFileW "), std::string("mail client: "),
          std::string("road Drafts (Extended MAPI): failed: MAPILogonEx 0x80040111 "
                      "MAPI_E_LOGON_FAILED\r\n"),
          std::string("road send dialog (Simple MAPI): not tried: the mail client has no "
                      "Simple MAPI library\r\n"),
          std::string("road mailto: link (-mailto): failed: ShellExecuteExW 31 "
                      "SE_ERR_NOASSOC\r\n"),
          std::string("exit code: -1\r\n\r\n")}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin:\n" << text;
    }
    // Counts, never the words.
    EXPECT_EQ(text.find("Secret"), std::string::npos);
}

TEST_F(RunReportTest, RunsAppendToOneFileAndAnUnwritableLogIsLetGo) {
    ComposeRequest request;
    RunFacts facts;
    facts.exitCode = 0;
    AppendRunReport(Log(dir_ / "run.log").c_str(), request, facts);
    AppendRunReport(Log(dir_ / "run.log").c_str(), request, facts);
    const std::string text = Log();
    size_t runs = 0;
    for (size_t at = text.find("Quillora run "); at != std::string::npos;
         at = text.find("Quillora run ", at + 1)) {
        ++runs;
    }
    EXPECT_EQ(runs, 2u) << text;
    // UTF-8's mark once, where the first run made the file.
    EXPECT_EQ(text.find(kUtf8Mark), 0u);
    EXPECT_EQ(text.find(kUtf8Mark, 1), std::string::npos);
    EXPECT_EQ(text.find("mail client:"), std::string::npos) << "no road ran";
    const std::string end = "exit code: 0\r\n\r\n";
    EXPECT_EQ(text.substr(text.size() - end.size()), end);

    // A directory cannot be a log: nothing is written, and nothing fails.
    AppendRunReport(Log(dir_).c_str(), request, facts);
    AppendRunReport(Log(dir_ / "no such dir" / "run.log").c_str(), request, facts);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "no such dir"));
}

// A log that exists already gets no mark in the middle.
TEST_F(RunReportTest, AnOldLogGetsNoMark) {
    Write("run.log", "earlier\r\n");
    ComposeRequest request;
    AppendRunReport(Log(dir_ / "run.log").c_str(), request, RunFacts());
    const std::string text = Log();
    EXPECT_EQ(text.rfind("earlier\r\nQuillora run ", 0), 0u) << text;
    EXPECT_EQ(text.find(kUtf8Mark), std::string::npos);
}

// Paths as typed, in UTF-8; a control or bidirectional formatting character
// in one cannot start a line of its own or turn one around.
TEST_F(RunReportTest, PathsInUtf8WithoutLineBreaksOrOverrides) {
    const std::string path = dir_.u8string() +
                             "/\xC5\x81\xC3\xB3"
                             "d\xC5\xBA\r\n"
                             "exit code: 0 \xE2\x80\xAE"
                             "fdp.exe";
    const RequestForTest request(nullptr, nullptr, nullptr, nullptr, nullptr, path.c_str());
    AppendRunReport(Log(dir_ / "run.log").c_str(), *request, RunFacts());
    const std::string text = Log();
    EXPECT_NE(text.find("\xC5\x81\xC3\xB3"
                        "d\xC5\xBA<U+000D><U+000A>exit code: 0 <U+202E>fdp.exe, "
                        "cannot be opened: CreateFileW "),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("\nexit code: 0 "), std::string::npos) << text;
}

TEST(AppendEscaped, EscapesControlsAndBidiControlsOnly) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"C:\\Rapports\\\xC5\x81\xC3\xB3"
         "d\xC5\xBA \xE2\x9C\x93.pdf",
         "C:\\Rapports\\\xC5\x81\xC3\xB3"
         "d\xC5\xBA \xE2\x9C\x93.pdf"},
        {"a\tb\x7F\xC2\x85", "a<U+0009>b<U+007F><U+0085>"},
        {"\xE2\x80\x8F\xE2\x80\xAA\xE2\x81\xA6\xE2\x81\xA9\xD8\x9C\xE2\x80\xA8",
         "<U+200F><U+202A><U+2066><U+2069><U+061C><U+2028>"},
        {"\xE2\x80\x8B\xF0\x9F\x98\x80", "\xE2\x80\x8B\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) {
        Text out;
        ASSERT_TRUE(AppendEscaped(c.in, out));
        EXPECT_STREQ(out.c_str(), c.out) << c.in;
    }
}

}  // namespace
