// The draft-file road natively: what reaches the desktop's handler for
// message/rfc822, and that a refusal leaves no draft and opens nothing.
#include "eml/ComposeViaEml.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "eml/DraftFolder.h"
#include "tests/platform/TempDesktop.h"

namespace {

namespace fs = std::filesystem;

// The files in dir, by name.
std::string Listing(const fs::path& dir) {
    std::string names;
    if (!fs::exists(dir)) return names;
    for (const auto& entry : fs::directory_iterator(dir))
        names += entry.path().filename().string() + " ";
    return names;
}

TEST(ComposeViaEml, OpensTheDraftOrLeavesNothing) {
    const struct {
        const char* name;
        const char* attachment;  // "ROOT" stands for the desktop's directory
        const char* temp;
        bool handler;
        int result;
        bool written;  // a draft was written, so old ones were cleaned up
        const char* call;
        DWORD code;
    } cases[] = {
        {"opened", "ROOT/q.pdf", "ROOT/tmp", true, 0, true, nullptr, 0},
        {"attachment missing", "ROOT/gone.pdf", "ROOT/tmp", true, -1, false, "CreateFileA",
         ERROR_FILE_NOT_FOUND},
        {"attachment unreadable", "/proc/self/mem", "ROOT/tmp", true, -1, false, "ReadFile", 0},
        {"no handler", "ROOT/q.pdf", "ROOT/tmp", false, -1, true, "ShellExecuteA", 31},
        {"no temporary folder", nullptr, "ROOT/q.pdf/sub", true, -1, false, "CreateDirectoryA", 0},
    };
    for (const auto& c : cases) {
        TempDesktop desktop;
        const auto rooted = [&desktop](std::string text) {
            if (text.compare(0, 4, "ROOT") == 0) text.replace(0, 4, desktop.root());
            return text;
        };
        desktop.Write("q.pdf", "%PDF");
        desktop.Write("tmp/Quillora/Quillora-20261201-101500-0001A2B3.eml", "old");
        fs::last_write_time(desktop.root() + "/tmp/Quillora/Quillora-20261201-101500-0001A2B3.eml",
                            fs::file_time_type::clock::now() - std::chrono::hours(25));
        const std::string recorder = desktop.Recorder("rec");
        if (c.handler) desktop.Handler("message/rfc822", recorder + " %f");
        desktop.Set("TMP", rooted(c.temp));
        const std::string attachment = c.attachment ? rooted(c.attachment) : std::string();
        ComposeRequest request;
        request.to = "a@x.org";
        request.attachment = c.attachment ? attachment.c_str() : nullptr;
        RoadFailure failure;
        EXPECT_EQ(ComposeViaEml(request, &failure), c.result) << c.name;
        EXPECT_STREQ(failure.call, c.call) << c.name;
        if (c.code != 0) {
            EXPECT_EQ(failure.code, c.code) << c.name;
        }

        const std::string drafts = Listing(desktop.root() + "/tmp/Quillora");
        if (c.result == 0) {
            // The old draft is gone, the new one was handed over and stays.
            ASSERT_EQ(drafts.size(), 38u) << drafts;
            const std::string path = desktop.root() + "/tmp/Quillora/" + drafts.substr(0, 37);
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (!fs::exists(recorder + ".out") && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::ifstream recorded(recorder + ".out");
            std::string line;
            std::getline(recorded, line);
            EXPECT_EQ(line, path);
        } else {
            // Nothing new; the old draft only when none was written.
            EXPECT_EQ(drafts, c.written ? "" : "Quillora-20261201-101500-0001A2B3.eml ") << c.name;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            EXPECT_FALSE(fs::exists(recorder + ".out")) << c.name;
        }
        unsetenv("TMP");
    }
}

}  // namespace
