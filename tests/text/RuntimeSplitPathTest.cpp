// Windows only: checks the path splitting, the recipient tokeniser and the
// escape scan against the real C runtime (msvcrt), including a double-byte
// code page.
#include <errno.h>
#include <mbctype.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/PathParts.h"
#include "text/TextHelpers.h"
#include "tests/text/PathTable.h"

namespace {

struct RuntimeParts {
    errno_t result;
    char drive[_MAX_DRIVE];
    char dir[_MAX_DIR];
    char name[_MAX_FNAME];
    char ext[_MAX_EXT];
};

RuntimeParts RuntimeSplit(const char* path) {
    RuntimeParts r{};
    r.result = _splitpath_s(path, r.drive, sizeof r.drive, r.dir, sizeof r.dir, r.name,
                            sizeof r.name, r.ext, sizeof r.ext);
    return r;
}

void ExpectSameAsRuntime(const std::string& path) {
    const PathParts ours = SplitPathParts(path.c_str());
    const RuntimeParts runtime = RuntimeSplit(path.c_str());
    if (ours.AnyCut()) {
        // The runtime refuses a part that does not fit its buffer.
        EXPECT_EQ(runtime.result, ERANGE) << path;
        return;
    }
    ASSERT_EQ(runtime.result, 0) << path;
    EXPECT_EQ(ours.drive, runtime.drive) << path;
    EXPECT_EQ(ours.dir, runtime.dir) << path;
    EXPECT_EQ(ours.name, runtime.name) << path;
    EXPECT_EQ(ours.ext, runtime.ext) << path;
}

std::vector<std::string> LimitPaths() {
    std::vector<std::string> paths;
    for (size_t n : {254u, 255u, 256u}) {
        paths.push_back("C:\\d\\" + std::string(n, 'n') + ".ext");
        paths.push_back("C:\\d\\name." + std::string(n - 1, 'e'));
        paths.push_back("C:" + std::string(n - 1, 'd') + "\\" + "f.x");
    }
    return paths;
}

// Restores the multibyte code page a test changed.
struct CodePageScope {
    int saved = _getmbcp();
    ~CodePageScope() { _setmbcp(saved); }
};

TEST(RuntimeSplitPath, AgreesOnTheTable) {
    for (const PathCase& c : kPathCases) ExpectSameAsRuntime(c.path);
}

TEST(RuntimeSplitPath, AgreesAtThePartLimits) {
    for (const std::string& path : LimitPaths()) ExpectSameAsRuntime(path);
}

// In code page 932 the byte 0x5C can be the trail byte of a character (here
// 0x95 0x5C); the runtime does not take it as a separator, nor do we.
TEST(RuntimeSplitPath, AgreesInADoubleByteCodePage) {
    CodePageScope scope;
    ASSERT_EQ(_setmbcp(932), 0);
    const char* paths[] = {
        "C:\\docs\\\x95\\.txt",
        "C:\\\x95\\\\x95\\.\x95\\",
        "\x81\x40\\\x81\x40.\x81\x40",
    };
    for (const char* path : paths) ExpectSameAsRuntime(path);
    // Not compared: a path ending in a lone lead byte, where Wine's runtime
    // steps over the terminator and reads past the string. Ours stops there.
    const PathParts lone = SplitPathParts("C:\\a\\b\x95");
    EXPECT_EQ(lone.dir, "\\a\\");
    EXPECT_EQ(lone.name, "b\x95");

    char out[kDisplayNameSize] = "";
    ASSERT_TRUE(AttachmentDisplayName("C:\\docs\\\x95\\.txt", out));
    EXPECT_STREQ(out, "\x95\\.txt");
    // Without an extension no display name forms; the attachment's own name
    // keeps the whole character.
    Text name;
    ASSERT_TRUE(AttachmentFileName("C:\\docs\\\x95\\", name));
    EXPECT_EQ(name, "\x95\\");
}

// ";" (0x3B) is never a valid trail byte in the Windows double-byte code
// pages, but the runtime's tokeniser still takes a lead byte and whatever
// follows it as one character, so a lead byte shields the next ";".
TEST(RuntimeTokeniser, LeadByteShieldsTheFollowingSemicolon) {
    CodePageScope scope;
    ASSERT_EQ(_setmbcp(932), 0);
    std::vector<std::string> seen;
    SplitRecipientList("a\x81;b;c;\x81", RecipientKind::Cc,
                       [&](const char* token, RecipientKind) { seen.push_back(token); });
    EXPECT_EQ(seen, (std::vector<std::string>{"a\x81;b", "c", "\x81"}));
}

TEST(RuntimeTokeniser, SingleByteCodePageSplitsEverySemicolon) {
    CodePageScope scope;
    ASSERT_EQ(_setmbcp(1252), 0);
    std::vector<std::string> seen;
    SplitRecipientList("a\x81;b", RecipientKind::To,
                       [&](const char* token, RecipientKind) { seen.push_back(token); });
    EXPECT_EQ(seen, (std::vector<std::string>{"a\x81", "b"}));
}

// In code page 932, \x95\x5C is one character (a kanji), so the 0x5C before
// an n is no backslash; in code page 1252 both bytes are characters.
TEST(RuntimeEscapes, ReplaceAllKeepsDoubleByteCharactersWhole) {
    const struct {
        int codePage;
        const char* text;
        const char* expected;
    } cases[] = {
        {932, "\x95\\n", "\x95\\n"},
        {932, "a\x95\\nb\x95\\\\n", "a\x95\\nb\x95\\\n"},
        {932, "\x81\x40\\n\\n", "\x81\x40\n\n"},
        {932, "\\n\x95", "\n\x95"},
        {1252, "\x95\\n", "\x95\n"},
        {1252, "a\\\\nb", "a\\\nb"},
    };
    CodePageScope scope;
    for (const auto& c : cases) {
        ASSERT_EQ(_setmbcp(c.codePage), 0);
        Text text(c.text);
        EXPECT_EQ(ReplaceAll(text, "\\n", "\n"), c.expected) << c.codePage << " " << c.text;
    }
}

}  // namespace
