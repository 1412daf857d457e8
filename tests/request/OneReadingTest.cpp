// One reading of the command line: the arguments as typed (UTF-16), where no
// look-alike of '-', '"', '\' or ';' makes an option, splits or joins a
// value, adds a recipient or starts an escape; the MAPI roads get each piece
// converted on its own, with the code page's best fit.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "request/ResolvedRequest.h"
#include "request/WideCommandLine.h"
#include "platform_process_testing.h"

namespace {

// U+FF0D fullwidth hyphen, U+2212 minus, U+FF02 fullwidth quote, U+FF3C
// fullwidth backslash, U+FF1B fullwidth semicolon, U+00AD soft hyphen, U+00A5
// yen sign (932's 0x5C).
const WCHAR kLine[] =
    L"q.exe -to \"a@x.org\xFF1B"
    L"b@x.org;Jo <c@x.org>\" \xFF0D"
    L"attachment C:\\data\\secret.txt -subject \"Invoice \x2212"
    L"cc evil\" \x2212"
    L"cc evil@x.org -body x\xFF02 -bcc y\xFF02 \x00AD"
    L"bcc z@x.org -attachment C:\\in\\a\xFF3C"
    L"b.pdf -cc d\xA5n";

// What the MAPI roads get in one code page.
struct Ansi {
    UINT codePage;
    std::vector<std::string> names, addresses;  // "" for no address
    std::string subject, body, fileName;
};

std::string Utf8(const char* text) {
    return text != nullptr ? text : "(null)";
}

class OneReading : public ::testing::Test {
protected:
    void TearDown() override { PlatformSetAnsiCodePage(1252); }
    // The request the program reads from line, afresh.
    const ComposeRequest& Read(const WCHAR* line) {
        arguments_ = std::make_unique<WideCommandLine>();
        resolved_ = std::make_unique<ResolvedRequest>();
        EXPECT_TRUE(arguments_->Split(line));
        const CommandLine parsed = ParseCommandLine(arguments_->Count(), arguments_->Arguments());
        EXPECT_TRUE(resolved_->Resolve(parsed, arguments_->Arguments()));
        return resolved_->Request();
    }
    std::unique_ptr<WideCommandLine> arguments_;
    std::unique_ptr<ResolvedRequest> resolved_;
};

TEST_F(OneReading, OptionsAndPiecesAsTyped) {
    const Ansi cases[] = {
        {1252,
         {"a@x.org;b@x.org", "Jo <c@x.org>", "d\xA5n", "y\""},
         {"a@x.org;b@x.org", "c@x.org", "", ""},
         "Invoice -cc evil",
         "x\"",
         "a\\b.pdf"},
        {932,
         {"a@x.org\x81\x47"
          "b@x.org",
          "Jo <c@x.org>", "d\\n", "y\xFA\x57"},
         {"a@x.org\x81\x47"
          "b@x.org",
          "c@x.org", "", ""},
         "Invoice ?cc evil",  // 932 has no look-alike for U+2212
         "x\xFA\x57",
         "a\x81\x5F"
         "b.pdf"},
        {CP_UTF8,
         {"a@x.org\xEF\xBC\x9B"
          "b@x.org",
          "Jo <c@x.org>", "d\xC2\xA5n", "y\xEF\xBC\x82"},
         {"a@x.org\xEF\xBC\x9B"
          "b@x.org",
          "c@x.org", "", ""},
         "Invoice \xE2\x88\x92"
         "cc evil",
         "x\xEF\xBC\x82",
         "a\xEF\xBC\xBC"
         "b.pdf"},
    };
    for (const Ansi& c : cases) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(c.codePage));
        const ComposeRequest& r = Read(kLine);
        const std::string label = "code page " + std::to_string(c.codePage);

        // As typed: no look-alike made an option, nor split or joined a value.
        EXPECT_EQ(Utf8(r.to),
                  "a@x.org\xEF\xBC\x9B"
                  "b@x.org;Jo <c@x.org>")
            << label;
        EXPECT_EQ(Utf8(r.cc), "d\xC2\xA5n") << label;
        EXPECT_EQ(Utf8(r.bcc), "y\xEF\xBC\x82") << label;
        EXPECT_EQ(Utf8(r.subject),
                  "Invoice \xE2\x88\x92"
                  "cc evil")
            << label;
        EXPECT_EQ(Utf8(r.body), "x\xEF\xBC\x82") << label;
        ASSERT_NE(r.attachment, nullptr);
        EXPECT_EQ(std::wstring(r.attachment->path),
                  L"C:\\in\\a\xFF3C"
                  L"b.pdf")
            << label;
        EXPECT_EQ(Utf8(r.attachment->name),
                  "a\xEF\xBC\xBC"
                  "b.pdf")
            << label;

        // The MAPI roads: each piece in the code page, on its own.
        ASSERT_EQ(r.recipientCount, c.names.size()) << label;
        for (size_t i = 0; i < r.recipientCount; ++i) {
            EXPECT_EQ(Utf8(r.recipients[i].name), c.names[i]) << label << " #" << i;
            const char* address = r.recipients[i].address;
            EXPECT_EQ(address != nullptr ? address : "", c.addresses[i]) << label << " #" << i;
        }
        EXPECT_EQ(r.recipients[0].kind, RecipientKind::To);
        EXPECT_EQ(r.recipients[2].kind, RecipientKind::Cc);
        EXPECT_EQ(r.recipients[3].kind, RecipientKind::Bcc);
        EXPECT_EQ(Utf8(r.ansiSubject), c.subject) << label;
        EXPECT_EQ(Utf8(r.ansiBody), c.body) << label;
        EXPECT_EQ(Utf8(r.attachment->ansiName), c.fileName) << label;
        EXPECT_EQ(Utf8(r.attachment->displayName), c.fileName) << label;
    }
}

// A quote look-alike neither opens nor closes a quoted part: the body stays
// one argument with its spaces, and what follows stays an option.
TEST_F(OneReading, LookAlikeQuotesSplitNothing) {
    const ComposeRequest& r = Read(L"q -body \"a \xFF02 b\" -subject \xFF02s -to t\xFF02");
    EXPECT_EQ(Utf8(r.body), "a \xEF\xBC\x82 b");
    EXPECT_EQ(Utf8(r.subject), "\xEF\xBC\x82s");
    EXPECT_EQ(Utf8(r.to), "t\xEF\xBC\x82");
}

// The backslash-n escape only with '\' itself; the yen sign that 932 writes
// as 0x5C stays a character of the body as typed.
TEST_F(OneReading, OnlyABackslashStartsAnEscape) {
    ASSERT_TRUE(PlatformSetAnsiCodePage(932));
    const ComposeRequest& r = Read(L"q -body a\xA5nb\\nc\xFF3Cn");
    EXPECT_EQ(Utf8(r.body), "a\xC2\xA5nb\nc\xEF\xBC\xBCn");
    EXPECT_EQ(Utf8(r.ansiBody), "a\\nb\nc\x81\x5Fn");
}

}  // namespace
