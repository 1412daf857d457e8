// The one opener of everything Quillora reads: whatever another program
// holds it open for, and only a file on a disk. Runs natively and, as a
// Windows program, under Wine against the real kernel.
#include "win32/SharedRead.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/TempDirTest.h"
#include "win32/FileHandle.h"

namespace {

class SharedReadTest : public TempDirTest {};

TEST_F(SharedReadTest, OpensAFileOthersHoldForWritingOrDeleting) {
    const struct {
        DWORD access, share;
    } holders[] = {
        {GENERIC_WRITE, FILE_SHARE_READ},
        {GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
    };
    const std::string path = Write("held.log", "first line");
    const std::wstring wide = std::filesystem::path(path).wstring();
    for (const auto& holder : holders) {
        FileHandle held(CreateFileA(path.c_str(), holder.access, holder.share, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held.IsOpen());
        FileHandle byWide(OpenSharedRead(wide.c_str()));
        FileHandle byAnsi(OpenSharedRead(path.c_str()));
        EXPECT_TRUE(byWide.IsOpen()) << holder.access;
        EXPECT_TRUE(byAnsi.IsOpen()) << holder.access;
    }
}

TEST_F(SharedReadTest, OnlyAFileOnADisk) {
    // A device opens, but reading one could wait for ever.
    const wchar_t* device = std::filesystem::exists("/dev/null") ? L"/dev/null" : L"NUL";
    RoadFailure why;
    EXPECT_FALSE(FileHandle(OpenSharedRead(device, &why)).IsOpen());
    EXPECT_STREQ(why.refusal, kNotADiskFile);
    why = RoadFailure();
    EXPECT_FALSE(FileHandle(OpenSharedRead((dir_ / "missing").wstring().c_str(), &why)).IsOpen());
    EXPECT_STREQ(why.call, "CreateFileW");
    EXPECT_EQ(why.code, static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
