// A and W calls name one file: an A name is read in the ANSI code page, a W
// name in UTF-16, and the file system's name is the UTF-8 of both.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform_process_testing.h"
#include "tests/TempDirTest.h"

namespace {

class FileNamesTest : public TempDirTest {
protected:
    void TearDown() override {
        PlatformSetAnsiCodePage(1252);
        TempDirTest::TearDown();
    }
};

// Each name made through one kind of call (a directory beside a file) and
// opened, listed, searched for and deleted through the other.
TEST_F(FileNamesTest, AAndWCallsNameOneFile) {
    const struct {
        UINT codePage;
        std::string ansi;
        std::wstring wide;
        const char* utf8;  // as the file system names it
    } names[] = {
        {1252, "Gr\xFC\xDF \x80.txt", L"Gr\xFC\xDF \x20AC.txt",
         "Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC.txt"},
        {932, "\x95\x5C.txt", L"\x8868.txt", "\xE8\xA1\xA8.txt"},  // its trail byte is '\'
        {CP_UTF8, "\xC5\x81\xC3\xB3.txt", L"\x141\xF3.txt", "\xC5\x81\xC3\xB3.txt"},
    };
    const std::string dirA = dir_.string() + "/";
    const std::wstring dirW = dir_.wstring() + L"/";
    for (const auto& n : names) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(n.codePage));
        const std::string a = dirA + n.ansi;
        const std::wstring w = dirW + n.wide;
        for (bool byA : {true, false}) {
            if (byA) {
                ASSERT_TRUE(CreateDirectoryA((a + ".d").c_str(), nullptr)) << n.utf8;
                CloseHandle(
                    CreateFileA(a.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
            } else {
                ASSERT_TRUE(CreateDirectoryW((w + L".d").c_str(), nullptr)) << n.utf8;
                CloseHandle(
                    CreateFileW(w.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
            }
            EXPECT_TRUE(std::filesystem::is_regular_file(dir_ / n.utf8)) << n.utf8;
            if (byA) {
                EXPECT_EQ(GetFileAttributesW((w + L".d").c_str()), FILE_ATTRIBUTE_DIRECTORY);
                EXPECT_TRUE(CloseHandle(
                    CreateFileW(w.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
                WIN32_FIND_DATAW found{};
                FindClose(FindFirstFileW((dirW + L"*.txt").c_str(), &found));
                EXPECT_EQ(std::wstring(found.cFileName), n.wide);
                WCHAR path[MAX_PATH], *part = nullptr;
                EXPECT_EQ(SearchPathW(dirW.c_str(), n.wide.c_str(), nullptr, MAX_PATH, path, &part),
                          w.size());
                EXPECT_EQ(std::wstring(part), n.wide);
                EXPECT_TRUE(DeleteFileW(w.c_str()));
            } else {
                EXPECT_EQ(GetFileAttributesA((a + ".d").c_str()), FILE_ATTRIBUTE_DIRECTORY);
                EXPECT_TRUE(CloseHandle(
                    CreateFileA(a.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
                WIN32_FIND_DATAA found{};
                FindClose(FindFirstFileA((dirA + "*.txt").c_str(), &found));
                EXPECT_EQ(std::string(found.cFileName), n.ansi);
                char path[MAX_PATH], *part = nullptr;
                EXPECT_EQ(SearchPathA(dirA.c_str(), n.ansi.c_str(), nullptr, MAX_PATH, path, &part),
                          a.size());
                EXPECT_EQ(std::string(part), n.ansi);
                EXPECT_TRUE(DeleteFileA(a.c_str()));
            }
            EXPECT_FALSE(std::filesystem::exists(dir_ / n.utf8));
            std::filesystem::remove(dir_ / (n.utf8 + std::string(".d")));
        }
    }
}

// A name the ANSI code page cannot hold reaches an A call as Windows hands
// it, with a look-alike or '?'; a W pattern's '?' matches one character.
TEST_F(FileNamesTest, NamesBeyondTheCodePage) {
    const std::wstring dirW = dir_.wstring() + L"/";
    CloseHandle(CreateFileW((dirW + L"\x141\xF3\x17A \x65E5.txt").c_str(), GENERIC_WRITE, 0,
                            nullptr, CREATE_NEW, 0, nullptr));
    WIN32_FIND_DATAA found{};
    FindClose(FindFirstFileA((dir_.string() + "/*.txt").c_str(), &found));
    EXPECT_STREQ(found.cFileName, "L\xF3z ?.txt");
    WIN32_FIND_DATAW wide;
    EXPECT_TRUE(FindClose(FindFirstFileW((dirW + L"\x141?? ?.txt").c_str(), &wide)));
}

}  // namespace
