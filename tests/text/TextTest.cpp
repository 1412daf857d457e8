#include "text/Text.h"

#include <gtest/gtest.h>

#include <type_traits>

#include <cstdint>
#include <string>
#include <utility>

namespace {

TEST(Text, EmptyTextIsAnEmptyCString) {
    Text text;
    EXPECT_STREQ(text.c_str(), "");
    EXPECT_TRUE(text.empty());
    EXPECT_TRUE(text.assign(nullptr));
    EXPECT_STREQ(text.c_str(), "");
    EXPECT_FALSE(text == nullptr);
}

TEST(Text, AssignAndAppendKeepTheTerminatorAndLength) {
    Text text("abc");
    EXPECT_TRUE(text.append("de", 2));
    EXPECT_EQ(text.size(), 5u);
    EXPECT_STREQ(text.c_str(), "abcde");
    EXPECT_TRUE(text.assign("xyz", 2));
    EXPECT_STREQ(text.c_str(), "xy");
    EXPECT_TRUE(text.append("", 0));
    EXPECT_TRUE(text == "xy");
    EXPECT_FALSE(text == "xyz");
    text.clear();
    EXPECT_TRUE(text.empty());
}

TEST(Text, AssigningFromItsOwnContentIsSafe) {
    Text text("hello world");
    EXPECT_TRUE(text.assign(text.c_str() + 6));
    EXPECT_STREQ(text.c_str(), "world");
    EXPECT_TRUE(text.assign(text.c_str(), text.size()));
    EXPECT_STREQ(text.c_str(), "world");
}

TEST(Text, CopiesAreIndependentAndMovesEmptyTheSource) {
    static_assert(!std::is_copy_constructible_v<Text> && !std::is_copy_assignable_v<Text>,
                  "a copy that cannot say it failed");
    Text original("one");
    Text copy;
    ASSERT_TRUE(copy.assign(original.c_str(), original.size()));
    copy.append("!", 1);
    EXPECT_STREQ(original.c_str(), "one");
    EXPECT_STREQ(copy.c_str(), "one!");
    Text moved(std::move(copy));
    EXPECT_STREQ(moved.c_str(), "one!");
    EXPECT_STREQ(copy.c_str(), "");  // NOLINT(bugprone-use-after-move): moved-from is empty
    original = std::move(moved);
    EXPECT_STREQ(original.c_str(), "one!");
}

TEST(Text, FindLooksFromAPositionAndStopsAtTheEnd) {
    const Text text("a\\nb\\n");
    EXPECT_EQ(text.find("\\n", 2, 0), 1u);
    EXPECT_EQ(text.find("\\n", 2, 2), 4u);
    EXPECT_EQ(text.find("\\n", 2, 5), Text::npos);
    EXPECT_EQ(text.find("\\n", 2, 99), Text::npos);
    EXPECT_EQ(text.find("", 0, 6), 6u);
    EXPECT_EQ(Text().find("x", 1, 0), Text::npos);
}

}  // namespace

namespace {

TEST(Text, GrowsByAppendingWithoutLosingTextOrItsTerminator) {
    Text text;
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        const char piece[] = {static_cast<char>('a' + i % 26), static_cast<char>('0' + i % 10)};
        ASSERT_TRUE(text.append(piece, 1 + i % 2));
        expected.append(piece, 1 + i % 2);
    }
    EXPECT_EQ(std::string(text.c_str(), text.size()), expected);
    EXPECT_EQ(text.c_str()[text.size()], '\0');
    // Its own content, appended while the block moves, and assigned back.
    EXPECT_TRUE(text.append(text.c_str(), text.size()));
    EXPECT_EQ(std::string(text.c_str(), text.size()), expected + expected);
    EXPECT_TRUE(text.assign(text.c_str() + 1, 3));
    EXPECT_STREQ(text.c_str(), expected.substr(1, 3).c_str());
}

TEST(Text, ASizeNoBlockCanHoldLeavesItUnchanged) {
    Text text("kept");
    EXPECT_FALSE(text.append("x", SIZE_MAX));
    EXPECT_FALSE(text.append("x", SIZE_MAX / 2));
    EXPECT_FALSE(text.assign("x", SIZE_MAX));
    EXPECT_STREQ(text.c_str(), "kept");
    EXPECT_EQ(text.size(), 4u);
}

}  // namespace
