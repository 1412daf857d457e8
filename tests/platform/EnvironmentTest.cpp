// ExpandEnvironmentStringsA/W: the environment's UTF-8 strings handed back
// in the caller's characters, with the size needed, terminator included.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "AnsiCodePage.h"

namespace {

class EnvironmentTest : public AnsiCodePageTest {
protected:
    void SetUp() override { setenv("QUILLORA_PLACE", "Gr\xC3\xBC\xC3\x9F \xE8\xA1\xA8", 1); }
    void TearDown() override {
        unsetenv("QUILLORA_PLACE");
        AnsiCodePageTest::TearDown();
    }
};

TEST_F(EnvironmentTest, ExpandsInTheCallersCharacters) {
    const struct {
        UINT codePage;
        const char* ansiIn;
        const char* ansiOut;
    } cases[] = {
        {1252, "%QUILLORA_PLACE%\\x %NOPE% 5%", "Gr\xFC\xDF ?\\x %NOPE% 5%"},
        {932, "\x95\x5C%QUILLORA_PLACE%", "\x95\x5CGr?? \x95\x5C"},
        {CP_UTF8, "%QUILLORA_PLACE%", "Gr\xC3\xBC\xC3\x9F \xE8\xA1\xA8"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(c.codePage));
        const DWORD needed = static_cast<DWORD>(std::string(c.ansiOut).size() + 1);
        EXPECT_EQ(ExpandEnvironmentStringsA(c.ansiIn, nullptr, 0), needed);
        char ansi[64] = "untouched";
        EXPECT_EQ(ExpandEnvironmentStringsA(c.ansiIn, ansi, needed - 1), needed);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        EXPECT_STREQ(ansi, "untouched");
        EXPECT_EQ(ExpandEnvironmentStringsA(c.ansiIn, ansi, needed), needed);
        EXPECT_STREQ(ansi, c.ansiOut) << c.codePage;
    }
    const std::wstring expected = L"[Gr\xFC\xDF \x8868]";
    WCHAR wide[64];
    EXPECT_EQ(ExpandEnvironmentStringsW(L"[%QUILLORA_PLACE%]", wide, 64), expected.size() + 1);
    EXPECT_EQ(std::wstring(wide), expected);
}

}  // namespace
