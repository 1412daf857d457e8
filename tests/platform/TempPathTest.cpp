// The stand-in's GetTempPathA/W read the variables Windows reads, in its
// order, always end the path with a separator, and hand it back in the
// caller's characters.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "AnsiCodePage.h"

namespace {

class TempPathTest : public AnsiCodePageTest {
protected:
    void TearDown() override {
        for (const char* name : kNames) unsetenv(name);
        AnsiCodePageTest::TearDown();
    }
    static constexpr const char* kNames[] = {"TMP", "TEMP", "TMPDIR"};
};

TEST_F(TempPathTest, TmpThenTempThenTmpdirThenSlashTmp) {
    const char* const cases[][4] = {
        {"/a", "/b", "/c", "/a/"},
        {nullptr, "/b/", "/c", "/b/"},
        {"", "", "/c", "/c/"},
        {nullptr, nullptr, nullptr, "/tmp/"},
    };
    for (const auto& c : cases) {
        for (int i = 0; i < 3; ++i) c[i] ? setenv(kNames[i], c[i], 1) : unsetenv(kNames[i]);
        char path[MAX_PATH];
        const DWORD length = GetTempPathA(sizeof path, path);
        EXPECT_EQ(std::string(path, length), c[3]);
        // Too small a buffer: the size needed, terminator included.
        EXPECT_EQ(GetTempPathA(length, path), length + 1);
    }
}

// The variable holds UTF-8, as the file system's names do.
TEST_F(TempPathTest, InTheCallersCharacters) {
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
    }
}

}  // namespace
