// Reading files through CreateFileA / ReadFile / CloseHandle. Portable: on
// Windows the same cases run against the real kernel, keeping the stand-in
// honest.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/TempDirTest.h"

namespace {

class FileTest : public TempDirTest {
protected:
    static HANDLE Open(const std::string& path) {
        return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    // Reads the whole file in chunks of the given size.
    static std::string ReadAll(HANDLE file, DWORD chunk) {
        std::string content;
        std::vector<char> buffer(chunk);
        for (;;) {
            DWORD got = 12345;
            EXPECT_TRUE(ReadFile(file, buffer.data(), chunk, &got, nullptr));
            if (got == 0) break;
            EXPECT_LE(got, chunk);
            content.append(buffer.data(), got);
        }
        return content;
    }
};

TEST_F(FileTest, ReadsFilesOfEverySizeWhole) {
    for (size_t size : {0u, 1u, 4095u, 4096u, 4097u, 100000u}) {
        std::string content(size, '\0');
        for (size_t i = 0; i < size; ++i) content[i] = static_cast<char>(i * 7 + 3);
        const std::string path = Write("f" + std::to_string(size) + ".bin", content);
        for (DWORD chunk : {1u, 4096u, 65536u}) {
            if (size > 5000 && chunk == 1) continue;
            HANDLE file = Open(path);
            ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
            EXPECT_EQ(ReadAll(file, chunk), content) << size << " by " << chunk;
            EXPECT_TRUE(CloseHandle(file));
        }
    }
}

TEST_F(FileTest, ReadAtTheEndReportsZeroBytes) {
    HANDLE file = Open(Write("four.txt", "abcd"));
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char buffer[4096];
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(got, 4u);
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(got, 0u);
    EXPECT_TRUE(CloseHandle(file));
}

TEST_F(FileTest, WhatCannotBeOpenedGivesInvalidHandle) {
    EXPECT_EQ(Open((dir_ / "missing.txt").string()), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(dir_.string()), INVALID_HANDLE_VALUE);  // a directory
    EXPECT_EQ(Open(""), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr),
              INVALID_HANDLE_VALUE);
}

TEST_F(FileTest, HandlesAreNeitherNullNorReusedWhileOpen) {
    const std::string path = Write("a.txt", "a");
    HANDLE first = Open(path);
    HANDLE second = Open(path);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    EXPECT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_TRUE(CloseHandle(first));
    EXPECT_TRUE(CloseHandle(second));
}

// Writing, appending, creating only anew, listing and deleting, with the
// errors Windows gives: what the draft file and the run's log rely on.
TEST_F(FileTest, WritesAndTheErrorsWindowsGives) {
    const std::string path = (dir_ / "new.eml").string();
    const auto create = [&path](DWORD access, DWORD disposition) {
        return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    DWORD written = 0;
    HANDLE file = create(GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(WriteFile(file, "first\r\n", 7, &written, nullptr) && written == 7);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(create(GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    for (int i = 0; i < 2; ++i) {
        file = create(FILE_APPEND_DATA, OPEN_ALWAYS);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(WriteFile(file, "more", 4, &written, nullptr));
        LARGE_INTEGER size;
        EXPECT_TRUE(GetFileSizeEx(file, &size));
        EXPECT_EQ(size.QuadPart, 11 + 4 * i);
        EXPECT_TRUE(CloseHandle(file));
    }
    file = Open(path);
    EXPECT_EQ(ReadAll(file, 64), "first\r\nmoremore");
    EXPECT_TRUE(CloseHandle(file));

    EXPECT_FALSE(CreateDirectoryA(dir_.string().c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir_ / "*.eml").string().c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(found.cFileName, "new.eml");
    EXPECT_EQ(found.nFileSizeLow, 15u);
    EXPECT_FALSE(FindNextFileA(search, &found));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(search));
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindFirstFileA((dir_ / "*.eml").string().c_str(), &found), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

// Share modes between two handles of one file, and DeleteFile against a
// handle, as Windows has them.
TEST_F(FileTest, ShareModesDecideWhetherASecondOpenOrADeleteWorks) {
    const DWORD all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const struct {
        DWORD access, share;            // the handle already open
        DWORD otherAccess, otherShare;  // the second open
        bool opens, deletes;
    } cases[] = {
        {GENERIC_WRITE, FILE_SHARE_READ, GENERIC_READ, FILE_SHARE_READ, false, false},
        {GENERIC_WRITE, FILE_SHARE_READ, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true,
         false},
        {GENERIC_READ, 0, GENERIC_READ, all, false, false},
        {GENERIC_READ | DELETE, all, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, false, true},
        {GENERIC_READ | DELETE, all, GENERIC_READ, all, true, true},
    };
    for (const auto& c : cases) {
        const std::string path = Write("shared.txt", "x");
        const HANDLE held = CreateFileA(path.c_str(), c.access, c.share, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        const HANDLE other = CreateFileA(path.c_str(), c.otherAccess, c.otherShare, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_EQ(other != INVALID_HANDLE_VALUE, c.opens) << c.access << " " << c.otherShare;
        if (other != INVALID_HANDLE_VALUE) {
            CloseHandle(other);
        } else {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        }
        EXPECT_EQ(DeleteFileA(path.c_str()) != FALSE, c.deletes) << c.access << " " << c.share;
        CloseHandle(held);
        DeleteFileA(path.c_str());
    }
}

}  // namespace
