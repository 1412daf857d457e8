// The draft after a failed launch, with the stand-in's shell answering as
// Windows does when a program reached by DDE does not answer: the program
// may still read the draft, so it stays; with no program at all, nothing
// will, so it goes.
#include <shellapi.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "eml/ComposeViaEml.h"
#include "platform_process_testing.h"
#include "tests/EnvironmentForTest.h"
#include "tests/RequestForTest.h"
#include "tests/TempDirTest.h"

namespace {

class EmlLaunchTest : public TempDirTest {};

TEST_F(EmlLaunchTest, ADraftHandedOverByDdeStays) {
    const TemporaryVariable tmp("TMP", dir_.u8string() + "/");
    const struct {
        INT_PTR code;
        DWORD error;
        bool stays;
    } cases[] = {
        {SE_ERR_DDEFAIL, ERROR_DDE_FAIL, true},
        {SE_ERR_DDETIMEOUT, ERROR_SUCCESS, true},
        {SE_ERR_DDEBUSY, ERROR_SUCCESS, true},
        {SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION, false},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(dir_ / "Quillora");
        const RequestForTest request("a@x.org", nullptr, nullptr, "Hi", "Body");
        PlatformFailNextShellExecute(c.code, c.error);
        RoadFailure failure;
        EXPECT_EQ(ComposeViaEml(*request, &failure), -1) << c.code;
        EXPECT_STREQ(failure.call, "ShellExecuteExW");
        EXPECT_EQ(failure.code, static_cast<uint32_t>(c.code));
        size_t drafts = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir_ / "Quillora")) {
            drafts += entry.path().extension() == ".eml";
        }
        EXPECT_EQ(drafts, c.stays ? 1u : 0u) << c.code;
    }
}

}  // namespace
