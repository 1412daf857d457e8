// The draft-file road natively, where the scenarios cannot reach: a read
// that fails, no temporary folder, and the cleanup of old drafts once a
// draft has been written. A refusal leaves no draft and opens nothing.
#include "eml/ComposeViaEml.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/platform/TempDesktop.h"

namespace {

namespace fs = std::filesystem;

constexpr char kOldDraft[] = "Quillora-20261201-101500-0001A2B3.eml";

TEST(ComposeViaEml, RefusalsLeaveNoDraftAndOpenNothing) {
    const struct {
        const char* name;
        const char* attachment;
        const char* temp;  // under the desktop's directory
        bool handler;
        int result;
        const char* call;
        // The draft folder afterwards: old drafts go once a draft has been
        // written, and only an opened one stays.
        const char* left;
    } cases[] = {
        {"opened", nullptr, "tmp", true, 0, nullptr, "the new draft"},
        {"attachment unreadable", "/proc/self/mem", "tmp", true, -1, "ReadFile", kOldDraft},
        {"no temporary folder", nullptr, "file/sub", true, -1, "CreateDirectoryA", kOldDraft},
        {"no handler", nullptr, "tmp", false, -1, "ShellExecuteA", ""},
    };
    for (const auto& c : cases) {
        TempDesktop desktop;
        desktop.Write("file", "");
        desktop.Write(std::string("tmp/Quillora/") + kOldDraft, "old");
        fs::last_write_time(desktop.root() + "/tmp/Quillora/" + kOldDraft,
                            fs::file_time_type::clock::now() - std::chrono::hours(25));
        const std::string recorder = desktop.Recorder("rec");
        if (c.handler) desktop.Handler("message/rfc822", recorder + " %f");
        desktop.Set("TMP", desktop.root() + "/" + c.temp);
        ComposeRequest request;
        request.to = "a@x.org";
        request.attachment = c.attachment;
        RoadFailure failure;
        EXPECT_EQ(ComposeViaEml(request, &failure), c.result) << c.name;
        EXPECT_STREQ(failure.call, c.call) << c.name;

        std::string left;
        for (const auto& entry : fs::directory_iterator(desktop.root() + "/tmp/Quillora"))
            left += entry.path().filename().string();
        if (c.result == 0) {
            EXPECT_TRUE(left.size() == 37 && left != kOldDraft) << c.name << ": " << left;
        } else {
            EXPECT_EQ(left, c.left) << c.name;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(c.result == 0 ? 500 : 100));
        EXPECT_EQ(fs::exists(recorder + ".out"), c.result == 0) << c.name;
    }
    unsetenv("TMP");
}

}  // namespace
