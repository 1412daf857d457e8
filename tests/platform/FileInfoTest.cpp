// What a handle is and where it stands: GetFileType, SetFilePointerEx and
// GetFileInformationByHandle, with Windows' errors.
#include <windows.h>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/TempDirTest.h"

namespace {

constexpr DWORD kErrorNegativeSeek = 131;

class FileInfoTest : public TempDirTest {
protected:
    static HANDLE Open(const std::string& path) {
        return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }
};

TEST_F(FileInfoTest, TypeOfAFileAPipeAndADevice) {
    const std::string fifo = (dir_ / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        DWORD type;
    } cases[] = {
        {Write("f.txt", "x"), FILE_TYPE_DISK},
        {fifo, FILE_TYPE_PIPE},
        {"/dev/null", FILE_TYPE_CHAR},
    };
    for (const auto& c : cases) {
        HANDLE file = Open(c.path);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << c.path;
        SetLastError(ERROR_INVALID_FUNCTION);
        EXPECT_EQ(GetFileType(file), c.type) << c.path;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_TRUE(CloseHandle(file));
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(GetFileType(file), static_cast<DWORD>(FILE_TYPE_UNKNOWN));  // closed
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
    EXPECT_EQ(GetFileType(INVALID_HANDLE_VALUE), static_cast<DWORD>(FILE_TYPE_UNKNOWN));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(FileInfoTest, SeeksFromEachOrigin) {
    HANDLE file = Open(Write("digits.txt", "0123456789"));
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const struct {
        LONGLONG distance;
        DWORD method;
        LONGLONG position;  // -1: the call fails
        DWORD error;
    } steps[] = {
        {3, FILE_BEGIN, 3, 0},
        {2, FILE_CURRENT, 5, 0},
        {-2, FILE_END, 8, 0},
        {-9, FILE_CURRENT, -1, kErrorNegativeSeek},
        {-1, FILE_BEGIN, -1, kErrorNegativeSeek},
        {1, 7, -1, ERROR_INVALID_PARAMETER},
        {-8, FILE_CURRENT, 0, 0},
        {20, FILE_BEGIN, 20, 0},
    };
    for (const auto& s : steps) {
        LARGE_INTEGER distance, position;
        distance.QuadPart = s.distance;
        position.QuadPart = -7;
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(SetFilePointerEx(file, distance, &position, s.method), s.position >= 0)
            << s.distance << " from " << s.method;
        EXPECT_EQ(s.position >= 0 ? position.QuadPart : GetLastError(),
                  s.position >= 0 ? s.position : s.error);
    }
    LARGE_INTEGER distance;
    distance.QuadPart = 7;
    ASSERT_TRUE(SetFilePointerEx(file, distance, nullptr, FILE_BEGIN));
    char c = 0;
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(file, &c, 1, &got, nullptr));
    EXPECT_EQ(c, '7');
    EXPECT_TRUE(CloseHandle(file));
}

TEST_F(FileInfoTest, SeekingAPipeIsNoFunctionOfIt) {
    const std::string fifo = (dir_ / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    HANDLE file = Open(fifo);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER distance;
    distance.QuadPart = 0;
    EXPECT_FALSE(SetFilePointerEx(file, distance, nullptr, FILE_CURRENT));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
    EXPECT_TRUE(CloseHandle(file));
}

// Two handles of one file, by A and W names, agree on the volume and index;
// another file differs.
TEST_F(FileInfoTest, VolumeAndIndexNameTheFile) {
    const std::string path = Write("a.txt", "abcdef");
    ASSERT_EQ(link(path.c_str(), (dir_ / "b.txt").c_str()), 0);
    HANDLE first = Open(path);
    HANDLE second = CreateFileW((dir_ / "b.txt").wstring().c_str(), GENERIC_READ, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE other = Open(Write("c.txt", ""));
    BY_HANDLE_FILE_INFORMATION a, b, c;
    ASSERT_TRUE(GetFileInformationByHandle(first, &a));
    ASSERT_TRUE(GetFileInformationByHandle(second, &b));
    ASSERT_TRUE(GetFileInformationByHandle(other, &c));
    EXPECT_EQ(a.dwVolumeSerialNumber, b.dwVolumeSerialNumber);
    EXPECT_EQ(a.nFileIndexHigh, b.nFileIndexHigh);
    EXPECT_EQ(a.nFileIndexLow, b.nFileIndexLow);
    EXPECT_NE(a.nFileIndexLow, c.nFileIndexLow);
    EXPECT_EQ(a.nFileSizeLow, 6u);
    EXPECT_EQ(a.nFileSizeHigh, 0u);
    EXPECT_EQ(a.nNumberOfLinks, 2u);
    EXPECT_EQ(c.nNumberOfLinks, 1u);
    EXPECT_EQ(a.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
    for (HANDLE file : {first, second, other}) EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(GetFileInformationByHandle(first, &a));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
