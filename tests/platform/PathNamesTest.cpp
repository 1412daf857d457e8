// GetShortPathNameW and GetFullPathNameW: the paths they give on a volume
// without 8.3 names, and Windows' buffer convention (the length without the
// terminator when it fits, else the size needed with it).
#include <windows.h>

#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/TempDirTest.h"

namespace {

class PathNamesTest : public TempDirTest {};

TEST_F(PathNamesTest, ShortNameOfWhatExistsIsItsLongName) {
    const std::wstring directory = dir_.wstring() + L"/";
    const std::wstring file = directory + L"long name \x8868.txt";
    Write("long name \xE8\xA1\xA8.txt", "x");
    const DWORD length = static_cast<DWORD>(file.size());
    const struct {
        std::wstring path;
        DWORD room;
        DWORD result;
        DWORD error;  // when result is 0
    } cases[] = {
        {file, MAX_PATH, length, 0},
        {directory, MAX_PATH, static_cast<DWORD>(directory.size()), 0},
        {file, length + 1, length, 0},
        {file, length, length + 1, 0},  // no room for the terminator
        {file, 0, length + 1, 0},
        {directory + L"missing.txt", MAX_PATH, 0, ERROR_FILE_NOT_FOUND},
        {directory + L"missing/x.txt", MAX_PATH, 0, ERROR_PATH_NOT_FOUND},
        {L"", MAX_PATH, 0, ERROR_BAD_PATHNAME},
    };
    for (const auto& c : cases) {
        WCHAR buffer[MAX_PATH] = L"untouched";
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(GetShortPathNameW(c.path.c_str(), c.room == 0 ? nullptr : buffer, c.room),
                  c.result);
        EXPECT_EQ(std::wstring(buffer), c.result < c.room && c.result != 0 ? c.path : L"untouched");
        EXPECT_EQ(c.result == 0 ? GetLastError() : 0u, c.error);
    }
}

TEST_F(PathNamesTest, FullPathByTheTextAlone) {
    char cwd[4096];
    WCHAR wide[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    const std::wstring here(wide, MultiByteToWideChar(CP_UTF8, 0, cwd, -1, wide, 4096) - 1);
    const struct {
        std::wstring name;
        DWORD room;
        std::wstring full;    // written when it fits
        const wchar_t* part;  // null: none
    } cases[] = {
        {L"/a/./b/../c", MAX_PATH, L"/a/c", L"c"},
        {L"/a//b/", MAX_PATH, L"/a/b/", nullptr},
        {L"/../../x", MAX_PATH, L"/x", L"x"},
        {L"/a/b/..", MAX_PATH, L"/a", L"a"},
        {L"rel/f \x8868", MAX_PATH, here + L"/rel/f \x8868", L"f \x8868"},
        {L"/a/b", 5, L"/a/b", L"b"},
        {L"/a/b", 4, L"/a/b", nullptr},  // no room for the terminator
    };
    for (const auto& c : cases) {
        WCHAR buffer[MAX_PATH] = L"untouched";
        WCHAR* part = buffer;
        const DWORD length = static_cast<DWORD>(c.full.size());
        const bool fits = c.room > length;
        EXPECT_EQ(GetFullPathNameW(c.name.c_str(), c.room, buffer, &part),
                  fits ? length : length + 1);
        EXPECT_EQ(std::wstring(buffer), fits ? c.full : L"untouched");
        EXPECT_EQ(std::wstring(part != nullptr ? part : L"(none)"),
                  c.part != nullptr ? c.part : L"(none)");
    }
    EXPECT_EQ(GetFullPathNameW(L"/a/b", 0, nullptr, nullptr), 5u);
    EXPECT_EQ(GetFullPathNameW(L"", MAX_PATH, nullptr, nullptr), 0u);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_NAME});
}

}  // namespace
