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
        const bool written = c.result != 0 && c.result < c.room;
        EXPECT_EQ(std::wstring(buffer), written ? c.path : L"untouched");
        EXPECT_EQ(c.result == 0 ? GetLastError() : 0u, c.error);
    }
    // The buffers may be one.
    WCHAR same[MAX_PATH];
    file.copy(same, file.size());
    same[file.size()] = 0;
    EXPECT_EQ(GetShortPathNameW(same, same, MAX_PATH), length);
    EXPECT_EQ(std::wstring(same), file);
}

TEST_F(PathNamesTest, FullPathByTheTextAlone) {
    char cwd[4096];
    WCHAR wide[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    const std::wstring here(wide, MultiByteToWideChar(CP_UTF8, 0, cwd, -1, wide, 4096) - 1);
    const struct {
        std::wstring name;
        std::wstring full;
        const wchar_t* filePart;  // null: none
    } cases[] = {
        {L"/a/./b/../c", L"/a/c", L"c"},
        {L"/a//b/", L"/a/b/", nullptr},
        {L"/../../x", L"/x", L"x"},
        {L"/a/.", L"/a", L"a"},
        {L"/a/b/..", L"/a", L"a"},
        {L"/", L"/", nullptr},
        {L"rel/f \x8868", here + L"/rel/f \x8868", L"f \x8868"},
    };
    for (const auto& c : cases) {
        WCHAR buffer[MAX_PATH];
        WCHAR* part = buffer;
        EXPECT_EQ(GetFullPathNameW(c.name.c_str(), MAX_PATH, buffer, &part),
                  static_cast<DWORD>(c.full.size()));
        EXPECT_EQ(std::wstring(buffer), c.full);
        EXPECT_EQ(part == nullptr ? std::wstring(L"(none)") : std::wstring(part),
                  c.filePart == nullptr ? L"(none)" : c.filePart);
    }
}

TEST_F(PathNamesTest, FullPathBufferConvention) {
    const std::wstring name = L"/a/b";
    const struct {
        DWORD room;
        DWORD result;
    } cases[] = {{5, 4}, {4, 5}, {0, 5}};
    for (const auto& c : cases) {
        WCHAR buffer[8] = L"zz";
        WCHAR* part = buffer;
        EXPECT_EQ(GetFullPathNameW(name.c_str(), c.room, c.room == 0 ? nullptr : buffer, &part),
                  c.result);
        EXPECT_EQ(part == nullptr, c.result > c.room) << c.room;
        EXPECT_EQ(GetFullPathNameW(name.c_str(), c.room, c.room == 0 ? nullptr : buffer, nullptr),
                  c.result);
    }
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(GetFullPathNameW(L"", MAX_PATH, nullptr, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
}

}  // namespace
