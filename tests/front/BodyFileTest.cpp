// Reading the body file through the kernel's file calls. The same cases run
// as a Windows program under Wine, against the real kernel.
#include "front/BodyFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/TempDirTest.h"

namespace {

class BodyFileTest : public TempDirTest {
protected:
    // The body read from path, or nothing when the read was refused.
    static std::optional<std::string> Read(const std::string& path) {
        Text body("earlier body");
        if (!ReadBodyFile(path.c_str(), body)) return std::nullopt;
        EXPECT_EQ(body.c_str()[body.size()], '\0');
        return std::string(body.c_str(), body.size());
    }
};

TEST_F(BodyFileTest, TakesTheFileWholeOrNotAtAll) {
    const std::string limit(kBodyFileLimit, 'x');
    const struct {
        const char* name;
        std::string content;
        bool taken;
    } cases[] = {
        {"crlf.txt", "Line1\r\nLine2\r\n\r\nlone\rcr\nlf\r\n", true},
        {"escapes.txt", "no \\n escape, \x95\\n kept", true},
        {"empty.txt", "", true},
        {"limit.txt", limit, true},
        {"over.txt", limit + "y", false},
        {"zero.txt", std::string("before\0after", 12), false},
        {"zero-last.txt", std::string("text\0", 5), false},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> body = Read(Write(c.name, c.content));
        ASSERT_EQ(body.has_value(), c.taken) << c.name;
        // Compared whole, not printed: the largest case is 16 MiB.
        if (c.taken) {
            EXPECT_TRUE(*body == c.content) << c.name;
        }
    }
}

TEST_F(BodyFileTest, RefusesWhatIsNoReadableFile) {
    EXPECT_FALSE(Read((dir_ / "missing.txt").string()));
    EXPECT_FALSE(Read(dir_.string()));
    EXPECT_FALSE(Read(""));
#ifndef _WIN32
    // A device without end stops at the limit instead of being read forever.
    EXPECT_FALSE(Read("/dev/zero"));
#endif
}

// A log another program still has open for writing is read as it stands.
TEST_F(BodyFileTest, ReadsAFileHeldOpenForWriting) {
    const std::string path = Write("log.txt", "first line\r\n");
    const HANDLE holder = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Read(path), "first line\r\n");
    CloseHandle(holder);
}

}  // namespace
