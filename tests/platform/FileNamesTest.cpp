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
    std::string DirA() const { return dir_.string() + "/"; }
    std::wstring DirW() const { return dir_.wstring() + L"/"; }
};

const struct NameCase {
    UINT codePage;
    std::string ansi;
    std::wstring wide;
    const char* utf8;  // as the file system names it
} kNames[] = {
    {1252, "Gr\xFC\xDF \x80.txt", L"Gr\xFC\xDF \x20AC.txt", "Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC.txt"},
    {932, "\x95\x5C.txt", L"\x8868.txt", "\xE8\xA1\xA8.txt"},  // its trail byte is '\'
    {932, "\x83\x5C\x83\x74\x83\x67.pdf", L"\x30BD\x30D5\x30C8.pdf",
     "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88.pdf"},
    {CP_UTF8,
     "\xC5\x81\xC3\xB3"
     "d\xC5\xBA.pdf",
     L"\x141\xF3"
     L"d\x17A.pdf",
     "\xC5\x81\xC3\xB3"
     "d\xC5\xBA.pdf"},
};

std::string ReadAll(HANDLE file) {
    char buffer[64];
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr));
    EXPECT_TRUE(CloseHandle(file));
    return std::string(buffer, got);
}

TEST_F(FileNamesTest, CreatedThroughAFoundThroughW) {
    for (const NameCase& c : kNames) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(c.codePage));
        const std::string a = DirA() + c.ansi;
        const std::wstring w = DirW() + c.wide;
        HANDLE file = CreateFileA(a.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << c.utf8;
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(file, "by A", 4, &written, nullptr));
        EXPECT_TRUE(CloseHandle(file));
        EXPECT_TRUE(std::filesystem::exists(dir_ / c.utf8)) << c.utf8;

        EXPECT_EQ(ReadAll(CreateFileW(w.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr)),
                  "by A");
        EXPECT_EQ(GetFileAttributesW(w.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((DirW() + L"*" + w.substr(w.rfind(L'.'))).c_str(), &found);
        ASSERT_NE(search, INVALID_HANDLE_VALUE);
        EXPECT_EQ(std::wstring(found.cFileName), c.wide);
        EXPECT_TRUE(FindClose(search));
        WCHAR path[MAX_PATH];
        WCHAR* part = nullptr;
        EXPECT_EQ(SearchPathW(DirW().c_str(), c.wide.c_str(), nullptr, MAX_PATH, path, &part),
                  static_cast<DWORD>(w.size()));
        EXPECT_EQ(std::wstring(part), c.wide);
        EXPECT_TRUE(DeleteFileW(w.c_str()));
        EXPECT_EQ(GetFileAttributesA(a.c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(FileNamesTest, CreatedThroughWFoundThroughA) {
    for (const NameCase& c : kNames) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(c.codePage));
        const std::string a = DirA() + c.ansi;
        const std::wstring w = DirW() + c.wide;
        ASSERT_TRUE(CreateDirectoryW((w + L".d").c_str(), nullptr)) << c.utf8;
        EXPECT_EQ(GetFileAttributesA((a + ".d").c_str()),
                  static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
        HANDLE file = CreateFileW(w.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(CloseHandle(file));

        WIN32_FIND_DATAA found;
        HANDLE search =
            FindFirstFileA((DirA() + "*." + c.ansi.substr(c.ansi.rfind('.') + 1)).c_str(), &found);
        ASSERT_NE(search, INVALID_HANDLE_VALUE);
        EXPECT_EQ(std::string(found.cFileName), c.ansi);
        EXPECT_FALSE(FindNextFileA(search, &found));
        EXPECT_TRUE(FindClose(search));
        char path[MAX_PATH];
        char* part = nullptr;
        EXPECT_EQ(SearchPathA(DirA().c_str(), c.ansi.c_str(), nullptr, MAX_PATH, path, &part),
                  static_cast<DWORD>(a.size()));
        EXPECT_EQ(std::string(part), c.ansi);
        EXPECT_TRUE(DeleteFileA(a.c_str()));
        EXPECT_EQ(GetFileAttributesW(w.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    }
}

// A name the ANSI code page cannot hold reaches an A call as Windows hands
// it: a look-alike where there is one, else '?'.
TEST_F(FileNamesTest, NamesBeyondTheCodePageComeBackWithLookAlikes) {
    const std::wstring w = DirW() +
                           L"\x141\xF3"
                           L"d\x17A \x65E5.txt";
    HANDLE file = CreateFileW(w.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(file));
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((DirA() + "*.txt").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(found.cFileName,
                 "L\xF3"
                 "dz ?.txt");
    EXPECT_TRUE(FindClose(search));
    // '?' matches one character, not one byte of its UTF-8.
    WIN32_FIND_DATAW wide;
    search = FindFirstFileW((DirW() + L"\x141?d? ?.txt").c_str(), &wide);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(FindClose(search));
}

}  // namespace
