// CreateFileA on special files: like Windows' CreateFile it never waits for
// the other end of a FIFO, and the handle it gives then reads like a file.
#include <windows.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

namespace {

class SpecialFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/quillora-fifo-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        fifo_ = dir_ + "/fifo";
        ASSERT_EQ(mkfifo(fifo_.c_str(), 0600), 0);
    }
    void TearDown() override {
        unlink(fifo_.c_str());
        rmdir(dir_.c_str());
    }

    // Opens the FIFO for reading in another thread. If that open hangs, a
    // writer is attached to release it, so the test fails instead of hanging.
    HANDLE OpenWithoutWaiting() {
        auto opened = std::async(std::launch::async, [this] {
            return CreateFileA(fifo_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        });
        if (opened.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
            ADD_FAILURE() << "CreateFileA waited for a writer";
            const int writer = open(fifo_.c_str(), O_WRONLY | O_NONBLOCK);
            HANDLE late = opened.get();
            if (writer >= 0) close(writer);
            if (late != INVALID_HANDLE_VALUE) CloseHandle(late);
            return INVALID_HANDLE_VALUE;
        }
        return opened.get();
    }

    std::string dir_;
    std::string fifo_;
};

TEST_F(SpecialFileTest, FifoWithoutWriterOpensAtOnceAndReadsBlockingly) {
    HANDLE file = OpenWithoutWaiting();
    ASSERT_NE(file, INVALID_HANDLE_VALUE);

    // With a writer attached, a read waits for its data (a handle left
    // non-blocking would fail at once) and ends when the writer closes.
    const int writer = open(fifo_.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    std::thread late([writer] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(write(writer, "ab", 2), 2);
        close(writer);
    });
    char buffer[8];
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr));
    late.join();
    EXPECT_EQ(std::string(buffer, got), "ab");
    EXPECT_TRUE(CloseHandle(file));
}

}  // namespace
