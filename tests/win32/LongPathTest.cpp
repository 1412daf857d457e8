// Paths of any length: the extended-length form the W file calls need for a
// path of MAX_PATH characters or more. Runs natively and, as a Windows
// program, under Wine against the real kernel.
#include "win32/LongPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "tests/TempDirTest.h"
#include "win32/FileHandle.h"
#include "win32/SharedRead.h"

namespace {

std::wstring AsWide(const WideText& text) {
    return std::wstring(text.c_str(), text.size());
}

TEST(PrefixedPath, DrivePathsAndUncPathsGetTheirPrefix) {
    const struct {
        const wchar_t* full;
        const wchar_t* prefixed;
    } cases[] = {
        {L"C:\\Reports\\q.pdf", L"\\\\?\\C:\\Reports\\q.pdf"},
        {L"z:\\tmp\\x", L"\\\\?\\z:\\tmp\\x"},
        {L"\\\\server\\share\\q.pdf", L"\\\\?\\UNC\\server\\share\\q.pdf"},
        // Prefixed already, or nothing a prefix can take: as it is.
        {L"\\\\?\\C:\\x", L"\\\\?\\C:\\x"},
        {L"\\\\.\\pipe\\x", L"\\\\.\\pipe\\x"},
        {L"/tmp/x", L"/tmp/x"},
        {L"C:relative", L"C:relative"},
    };
    for (const auto& c : cases) {
        WideText out;
        ASSERT_TRUE(PrefixedPath(c.full, out));
        EXPECT_EQ(AsWide(out), c.prefixed);
    }
}

class LongPathTest : public TempDirTest {
protected:
    // Removed deepest first by their extended-length forms: a runtime that
    // gives Windows no prefix cannot remove them.
    void TearDown() override {
        for (auto at = made_.rbegin(); at != made_.rend(); ++at) {
            WideText usable;
            std::error_code ignored;
            if (LongPathForm(at->c_str(), usable)) {
                std::filesystem::remove(std::wstring(usable.c_str(), usable.size()), ignored);
            }
        }
        TempDirTest::TearDown();
    }
    std::vector<std::wstring> made_;
};

TEST_F(LongPathTest, ShortPathsStayAndLongOnesOpen) {
    WideText out;
    ASSERT_TRUE(LongPathForm(L"C:\\a.txt", out));
    EXPECT_EQ(AsWide(out), L"C:\\a.txt");

    // Five folders of 60 characters: over 300 in all.
    std::filesystem::path deep = dir_;
    for (int i = 0; i < 5; ++i) {
        deep /= std::string(60, static_cast<char>('a' + i));
        made_.push_back(deep.wstring());
    }
    std::filesystem::create_directories(deep);
    std::ofstream(deep / "long.txt", std::ios::binary) << "far down";
    const std::wstring path = (deep / "long.txt").wstring();
    made_.push_back(path);
    ASSERT_GE(path.size(), static_cast<size_t>(MAX_PATH));

    ASSERT_TRUE(LongPathForm(path.c_str(), out));
    EXPECT_GE(out.size(), path.size());
    RoadFailure why;
    FileHandle file(OpenSharedRead(path.c_str(), &why));
    ASSERT_TRUE(file.IsOpen()) << why.call << " " << why.code;
    char read[16] = {};
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(file.Get(), read, sizeof read, &got, nullptr));
    EXPECT_EQ(std::string(read, got), "far down");
}

}  // namespace
