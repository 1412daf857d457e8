// The mailto: road natively: what reaches the desktop's mailto: handler, and
// when the road refuses.
#include "mailto/ComposeViaMailto.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "mailto/MailtoUrl.h"
#include "tests/platform/TempDesktop.h"

namespace {

// The recorder's one argument, waiting for it at most wait.
std::string Received(const std::string& recorder, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::ifstream in;
    while (!(in.open(recorder + ".out"), in.is_open()) &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::string all, line;
    while (std::getline(in, line)) all += (all.empty() ? "" : "|") + line;
    return all;
}

TEST(ComposeViaMailto, OpensOnlyAnUrlThatFitsAndNoAttachment) {
    // "mailto:a@x.org?body=" is 20 characters.
    const std::string fits(kMailtoUrlLimit - 20, 'x');
    const std::string tooLong(kMailtoUrlLimit - 19, 'x');
    const std::string bodyFileSized(16 * 1024 * 1024, '%');  // refused at once, not in minutes
    const struct {
        const char* name;
        const char* body;
        const WCHAR* attachment;
        bool handler;
        int result;
    } cases[] = {
        {"exactly the limit", fits.c_str(), nullptr, true, 0},
        {"one over the limit", tooLong.c_str(), nullptr, true, -1},
        {"16 MiB, three characters each", bodyFileSized.c_str(), nullptr, true, -1},
        {"an attachment", "hi", L"C:\\q.pdf", true, -1},
        {"no handler", "hi", nullptr, false, -1},
    };
    for (const auto& c : cases) {
        TempDesktop desktop;
        const std::string recorder = desktop.Recorder("rec");
        if (c.handler) desktop.MailtoHandler(recorder + " %u");
        ComposeRequest request;
        request.to = "a@x.org";
        request.body = c.body;
        AttachedFile file;
        file.path = c.attachment;
        if (c.attachment != nullptr) request.attachment = &file;
        EXPECT_EQ(ComposeViaMailto(request), c.result) << c.name;
        const std::string expected =
            c.result == 0 ? "mailto:a@x.org?body=" + std::string(c.body) : std::string();
        EXPECT_EQ(Received(recorder, std::chrono::milliseconds(c.result == 0 ? 5000 : 300)),
                  expected)
            << c.name;
    }
}

}  // namespace
