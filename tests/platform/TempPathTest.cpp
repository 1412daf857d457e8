// The environment as GetTempPathA/W and ExpandEnvironmentStringsA/W give
// it: its strings are UTF-8, handed back in the caller's characters.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "AnsiCodePage.h"

namespace {

class EnvironmentTest : public AnsiCodePageTest {
protected:
    void TearDown() override {
        for (const char* name : {"TMP", "TEMP", "TMPDIR"}) unsetenv(name);
        AnsiCodePageTest::TearDown();
    }
};

// The variables Windows reads, in its order, and always a trailing separator.
TEST_F(EnvironmentTest, TempPathFromTmpThenTempThenTmpdirThenSlashTmp) {
    const char* const names[] = {"TMP", "TEMP", "TMPDIR"};
    const char* const cases[][4] = {
        {"/a", "/b", "/c", "/a/"},
        {nullptr, "/b/", "/c", "/b/"},
        {"", "", "/c", "/c/"},
        {nullptr, nullptr, nullptr, "/tmp/"},
    };
    for (const auto& c : cases) {
        for (int i = 0; i < 3; ++i) c[i] ? setenv(names[i], c[i], 1) : unsetenv(names[i]);
        char path[MAX_PATH];
        const DWORD length = GetTempPathA(sizeof path, path);
        EXPECT_EQ(std::string(path, length), c[3]);
        // Too small a buffer: the size needed, terminator included.
        EXPECT_EQ(GetTempPathA(length, path), length + 1);
    }
}

TEST_F(EnvironmentTest, InTheCallersCharacters) {
    const struct {
        UINT codePage;
        const char* utf8;
        const char* ansi;
        std::wstring wide;
    } cases[] = {
        {1252, "/t/Gr\xC3\xBC\xC3\x9F", "/t/Gr\xFC\xDF/", L"/t/Gr\xFC\xDF/"},
        {932, "/t/\xE8\xA1\xA8", "/t/\x95\x5C/", L"/t/\x8868/"},
        {1252, "/t/\xE8\xA1\xA8", "/t/?/", L"/t/\x8868/"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(c.codePage));
        setenv("TMP", c.utf8, 1);
        char ansi[MAX_PATH];
        EXPECT_EQ(GetTempPathA(MAX_PATH, ansi), std::string(c.ansi).size());
        EXPECT_STREQ(ansi, c.ansi);
        WCHAR wide[MAX_PATH];
        const DWORD length = GetTempPathW(MAX_PATH, wide);
        EXPECT_EQ(std::wstring(wide, length), c.wide);
        EXPECT_EQ(GetTempPathW(length, wide), length + 1);
        // Expanded: the size needed with the terminator, written only when it fits.
        const std::string expanded = std::string(c.ansi) + "%NOPE%";
        const DWORD needed = static_cast<DWORD>(expanded.size() + 1);
        EXPECT_EQ(ExpandEnvironmentStringsA("%TMP%/%NOPE%", ansi, needed - 1), needed);
        EXPECT_EQ(GetLastError(), DWORD{ERROR_INSUFFICIENT_BUFFER});
        EXPECT_EQ(ExpandEnvironmentStringsA("%TMP%/%NOPE%", ansi, needed), needed);
        EXPECT_EQ(std::string(ansi), expanded);
        EXPECT_EQ(ExpandEnvironmentStringsW(L"%TMP%/", wide, MAX_PATH), c.wide.size() + 1);
        EXPECT_EQ(std::wstring(wide), c.wide);
    }
}

}  // namespace
