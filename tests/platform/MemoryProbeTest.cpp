// IsBadStringPtrA must really look at the memory: unreadable bytes make it
// TRUE (without crashing), a readable string up to its end or the limit
// makes it FALSE. Linux only: it maps pages by hand.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Two pages: the first readable, the second made inaccessible.
class GuardPage : public ::testing::Test {
protected:
    void SetUp() override {
        page_ = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        void* base =
            mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        ASSERT_NE(base, MAP_FAILED);
        base_ = static_cast<char*>(base);
        std::memset(base_, 'x', page_);
        ASSERT_EQ(mprotect(base_ + page_, page_, PROT_NONE), 0);
    }
    void TearDown() override { munmap(base_, 2 * page_); }

    char* base_ = nullptr;
    size_t page_ = 0;
};

TEST_F(GuardPage, StringRunningIntoAnInaccessiblePageIsBad) {
    char* tail = base_ + page_ - 10;  // ten 'x' and then the guard page
    EXPECT_TRUE(IsBadStringPtrA(tail, 11));
    EXPECT_TRUE(IsBadStringPtrA(tail, static_cast<UINT_PTR>(-1)));
    EXPECT_FALSE(IsBadStringPtrA(tail, 10));  // the limit stops before the page
    tail[9] = '\0';
    EXPECT_FALSE(IsBadStringPtrA(tail, static_cast<UINT_PTR>(-1)));  // ends in time
}

TEST_F(GuardPage, InaccessibleOrUnmappedStartIsBad) {
    EXPECT_TRUE(IsBadStringPtrA(base_ + page_, 1));
    char* unmapped =
        static_cast<char*>(mmap(nullptr, page_, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(unmapped, MAP_FAILED);
    ASSERT_EQ(munmap(unmapped, page_), 0);
    EXPECT_TRUE(IsBadStringPtrA(unmapped, 5));
}

TEST(IsBadStringPtrA, OrdinaryStrings) {
    EXPECT_TRUE(IsBadStringPtrA(nullptr, 5));
    EXPECT_FALSE(IsBadStringPtrA("", static_cast<UINT_PTR>(-1)));
    EXPECT_FALSE(IsBadStringPtrA("hello", static_cast<UINT_PTR>(-1)));
    EXPECT_FALSE(IsBadStringPtrA("hello", 0));
    static char large[3 * 65536 + 17];
    std::memset(large, 'y', sizeof large - 1);
    EXPECT_FALSE(IsBadStringPtrA(large, static_cast<UINT_PTR>(-1)));
}

}  // namespace
