// The run report as -log appends it: what it says of the roads and of a
// library's bitness, and how runs share one file. Runs natively and, as a
// Windows program, under Wine against the real kernel.
#include "front/RunReport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "front/LibraryBitness.h"
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
};

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
    EXPECT_EQ(LibraryBitness((dir_ / "missing.dll").string().c_str()), 0);
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

    ComposeRequest request;
    request.to = "a@x.org;b;;c";
    request.subject = "Secret subject";
    request.attachment = "";
    const std::string log = (dir_ / "run.log").string();
    RunFacts facts;
    facts.mailto = true;
    facts.dispatch = &dispatch;
    ExactTextFacts exact;
    exact.read = exact.fromCommandLine = true;
    exact.notInCodePage = 3;
    facts.exactText = &exact;
    AppendRunReport(log.c_str(), request, facts);

    const std::string text = Log();
    for (const std::string& line :
         {std::string("request: To 3, Cc 0, Bcc 0 recipients, subject 14 bytes, body none, "
                      "-mailto\r\n"),
          std::string("text for the draft file and link: as typed (UTF-16 command line), 3 "
                      "characters not in the ANSI code page\r\n"),
          std::string("attachment: , cannot be opened: CreateFileA "), std::string("mail client: "),
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
    const std::string log = (dir_ / "run.log").string();
    ComposeRequest request;
    RunFacts facts;
    facts.exitCode = 0;
    AppendRunReport(log.c_str(), request, facts);
    AppendRunReport(log.c_str(), request, facts);
    const std::string text = Log();
    size_t runs = 0;
    for (size_t at = text.find("Quillora run "); at != std::string::npos;
         at = text.find("Quillora run ", at + 1)) {
        ++runs;
    }
    EXPECT_EQ(runs, 2u) << text;
    EXPECT_EQ(text.find("mail client:"), std::string::npos) << "no road ran";
    const std::string end = "exit code: 0\r\n\r\n";
    EXPECT_EQ(text.substr(text.size() - end.size()), end);

    // A directory cannot be a log: nothing is written, and nothing fails.
    AppendRunReport(dir_.string().c_str(), request, facts);
    AppendRunReport((dir_ / "no such dir" / "run.log").string().c_str(), request, facts);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "no such dir"));
}

}  // namespace
