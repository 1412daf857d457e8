// The text the roads beyond MAPI take: the UTF-16 command line where it
// holds the same options at the same places as the ANSI arguments, else
// those arguments in UTF-8; the MAPI roads keep the ANSI ones.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "front/ResolvedRequest.h"
#include "platform_process_testing.h"

namespace {

struct Resolved {
    std::vector<std::string> words;
    std::vector<const char*> argv;
    CommandLine line;
    ResolvedRequest resolved;
    Resolved(const WCHAR* wide, std::vector<std::string> ansi) : words(std::move(ansi)) {
        for (const std::string& word : words) argv.push_back(word.c_str());
        argv.push_back(nullptr);
        PlatformSetCommandLineW(wide);
        line = ParseCommandLine(static_cast<int>(words.size()), argv.data());
        EXPECT_TRUE(resolved.Resolve(line, static_cast<int>(words.size()), argv.data()));
    }
};

// What Windows hands a program for the line below: best fit, '?' for the rest.
const std::vector<std::string> kAnsi = {
    "q.exe", "-eml",      "-subject",    "Zaz\xF3lc ?", "-to", "Lukasz <l@x.org>",
    "-body", "a\\nb\xF3", "-attachment", "C:\\Lodz.pdf"};
const WCHAR kWide[] =
    L"q.exe -eml -subject \"Za\x017C\x00F3\x0142\x0107 \x2713\" -to \"\x0141ukasz <l@x.org>\" "
    L"-body a\\nb\x00F3 -attachment C:\\\x0141\x00F3"
    L"d\x017A.pdf";

TEST(ExactText, TakenFromTheUtf16CommandLine) {
    Resolved run(kWide, kAnsi);
    const ExactRequest* exact = run.resolved.Exact();
    ASSERT_NE(exact, nullptr);
    EXPECT_STREQ(exact->subject, "Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87 \xE2\x9C\x93");
    EXPECT_STREQ(exact->to, "\xC5\x81ukasz <l@x.org>");
    EXPECT_STREQ(exact->body, "a\nb\xC3\xB3");
    EXPECT_EQ(std::wstring(exact->attachment),
              L"C:\\\x0141\x00F3"
              L"d\x017A.pdf");
    EXPECT_TRUE(run.resolved.ExactText().fromCommandLine);
    // ż ł ć ✓, Ł, Ł ź: what the code page lacks; ó it holds.
    EXPECT_EQ(run.resolved.ExactText().notInCodePage, 7u);
    // The MAPI roads keep the ANSI arguments.
    EXPECT_STREQ(run.resolved.Request().subject, "Zaz\xF3lc ?");
    EXPECT_STREQ(run.resolved.Request().body, "a\nb\xF3");
}

TEST(ExactText, TheAnsiArgumentsWhereTheOptionsDiffer) {
    // One argument more in front: every option stands one place further on.
    std::wstring shifted = kWide;
    shifted.insert(6, L"extra ");
    Resolved run(shifted.c_str(), kAnsi);
    const ExactRequest* exact = run.resolved.Exact();
    ASSERT_NE(exact, nullptr);
    EXPECT_FALSE(run.resolved.ExactText().fromCommandLine);
    EXPECT_STREQ(exact->subject, "Zaz\xC3\xB3lc ?");
    EXPECT_STREQ(exact->body, "a\nb\xC3\xB3");
    EXPECT_EQ(std::wstring(exact->attachment), L"C:\\Lodz.pdf");
}

TEST(ExactText, OnlyForTheRoadsBeyondMapi) {
    std::vector<std::string> ansi = kAnsi;
    ansi[1] = "-other";
    Resolved run(kWide, ansi);
    EXPECT_EQ(run.resolved.Exact(), nullptr);
    EXPECT_FALSE(run.resolved.ExactText().read);
}

}  // namespace
