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
        return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    }
};

// The type of each kind of handle; a pipe, unlike the others, cannot be seeked.
TEST_F(FileInfoTest, TypeOfAFileAPipeAndADevice) {
    const std::string fifo = (dir_ / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        DWORD type;
    } cases[] = {{Write("f.txt", "x"), FILE_TYPE_DISK},
                 {fifo, FILE_TYPE_PIPE},
                 {"/dev/null", FILE_TYPE_CHAR}};
    for (const auto& c : cases) {
        HANDLE file = Open(c.path);
        SetLastError(ERROR_INVALID_FUNCTION);
        EXPECT_EQ(GetFileType(file), c.type) << c.path;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
        LARGE_INTEGER zero{};
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(SetFilePointerEx(file, zero, nullptr, FILE_CURRENT), c.type != FILE_TYPE_PIPE);
        EXPECT_EQ(GetLastError(), c.type == FILE_TYPE_PIPE ? ERROR_INVALID_FUNCTION : 0u);
        EXPECT_TRUE(CloseHandle(file));
        EXPECT_EQ(GetFileType(file), DWORD{FILE_TYPE_UNKNOWN});  // closed
        EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
    }
}

TEST_F(FileInfoTest, SeeksFromEachOrigin) {
    HANDLE file = Open(Write("digits.txt", "0123456789"));
    const struct {
        LONGLONG distance;
        DWORD method;
        LONGLONG position;  // or, when the call fails, its error
    } steps[] = {{3, FILE_BEGIN, 3},
                 {2, FILE_CURRENT, 5},
                 {-3, FILE_END, 7},
                 {-8, FILE_CURRENT, kErrorNegativeSeek},
                 {-1, FILE_BEGIN, kErrorNegativeSeek},
                 {1, 7, ERROR_INVALID_PARAMETER}};
    for (const auto& s : steps) {
        LARGE_INTEGER distance, position;
        distance.QuadPart = s.distance;
        const bool moved = SetFilePointerEx(file, distance, &position, s.method);
        EXPECT_EQ(moved ? position.QuadPart : GetLastError(), s.position) << s.distance;
    }
    LARGE_INTEGER none{}, position{};
    EXPECT_TRUE(SetFilePointerEx(file, none, &position, FILE_CURRENT));
    EXPECT_EQ(position.QuadPart, 7);  // a move that failed moved nothing
    EXPECT_TRUE(CloseHandle(file));
}

// Two handles of one file agree on the volume and index; another file differs.
TEST_F(FileInfoTest, VolumeAndIndexNameTheFile) {
    const std::string path = Write("a.txt", "abcdef");
    ASSERT_EQ(link(path.c_str(), (dir_ / "b.txt").c_str()), 0);
    HANDLE files[] = {Open(path), Open((dir_ / "b.txt").string()), Open(Write("c.txt", ""))};
    BY_HANDLE_FILE_INFORMATION a, b, c;
    ASSERT_TRUE(GetFileInformationByHandle(files[0], &a));
    ASSERT_TRUE(GetFileInformationByHandle(files[1], &b));
    ASSERT_TRUE(GetFileInformationByHandle(files[2], &c));
    EXPECT_EQ(a.dwVolumeSerialNumber, b.dwVolumeSerialNumber);
    EXPECT_EQ(a.nFileIndexHigh, b.nFileIndexHigh);
    EXPECT_EQ(a.nFileIndexLow, b.nFileIndexLow);
    EXPECT_NE(a.nFileIndexLow, c.nFileIndexLow);
    EXPECT_EQ(a.nNumberOfLinks, 2u);
    for (HANDLE file : files) EXPECT_TRUE(CloseHandle(file));
}

}  // namespace
