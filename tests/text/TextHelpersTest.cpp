#include "text/TextHelpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "text/PathParts.h"
#include "tests/text/PathTable.h"

namespace {

using Recipients = std::vector<std::pair<std::string, RecipientKind>>;

Recipients Split(const char* list, RecipientKind kind = RecipientKind::To) {
    Recipients seen;
    SplitRecipientList(list, kind,
                       [&](const char* token, RecipientKind k) { seen.emplace_back(token, k); });
    return seen;
}

std::vector<std::string> Names(const Recipients& recipients) {
    std::vector<std::string> names;
    for (const auto& r : recipients) names.push_back(r.first);
    return names;
}

using Names_ = std::vector<std::string>;

TEST(SplitRecipientList, CutsOnSemicolonsAndSkipsEmptyTokens) {
    const struct {
        const char* list;
        Names_ expected;
    } cases[] = {
        {";;a;;b;", {"a", "b"}},
        {"alice", {"alice"}},
        {"", {}},
        {";;;", {}},
        {"alice; bob", {"alice", " bob"}},
        {" ; ", {" ", " "}},
        {"a,b;c d", {"a,b", "c d"}},
        {"Alice Example <alice@example.com>;bob@example.com",
         {"Alice Example <alice@example.com>", "bob@example.com"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Names(Split(c.list)), c.expected) << "list: " << c.list;
    }
}

TEST(SplitRecipientList, NullListYieldsNothing) {
    EXPECT_TRUE(Split(nullptr).empty());
}

TEST(SplitRecipientList, PassesTheKindWithEveryToken) {
    for (RecipientKind kind : {RecipientKind::To, RecipientKind::Cc, RecipientKind::Bcc}) {
        for (const auto& r : Split("a;b", kind)) EXPECT_EQ(r.second, kind);
    }
}

TEST(SplitRecipientList, LeavesTheCallersListIntact) {
    const std::string original = "a;b;;c";
    std::string list = original;
    Split(list.c_str());
    EXPECT_EQ(list, original);
}

// The working buffer holds 99 characters; longer lists are split whole.
TEST(SplitRecipientList, ListsAroundTheWorkingBufferSizeLoseNothing) {
    for (size_t length : {98u, 99u, 100u, 101u, 250u, 5000u}) {
        // One recipient filling the whole list.
        const std::string single(length, 'r');
        EXPECT_EQ(Names(Split(single.c_str())), Names_{single}) << length;

        // Recipients of varying length whose last one ends at the last byte.
        Names_ expected;
        std::string list;
        for (size_t i = 0; list.size() < length; ++i) {
            std::string name(1 + i % 13, static_cast<char>('a' + i % 26));
            const size_t room = length - list.size() - (list.empty() ? 0 : 1);
            if (room == 0) break;
            if (name.size() > room) name.resize(room);
            if (!list.empty()) list += ';';
            list += name;
            expected.push_back(name);
        }
        ASSERT_EQ(list.size(), length);
        EXPECT_EQ(Names(Split(list.c_str())), expected) << length;
    }
}

TEST(SplitRecipientList, TokenStraddlingTheHundredthByteStaysWhole) {
    const std::string first(95, 'x');
    const std::string list = first + ";abcdefghij;k";
    EXPECT_EQ(Names(Split(list.c_str())), (Names_{first, "abcdefghij", "k"}));
}

TEST(SplitRecipientList, AnAddThatSplitsAnotherListDoesNotDisturbThisOne) {
    Names_ outer;
    Names_ inner;
    SplitRecipientList("a;b;c", RecipientKind::To, [&](const char* token, RecipientKind) {
        outer.push_back(token);
        for (const auto& r : Split("x;y")) inner.push_back(r.first);
    });
    EXPECT_EQ(outer, (Names_{"a", "b", "c"}));
    EXPECT_EQ(inner.size(), 6u);
}

// A display-name buffer with guard bytes after it, filled with a marker so
// that "left untouched" can be told from "written".
struct GuardedOut {
    static constexpr size_t kGuard = 64;
    char bytes[kDisplayNameSize + kGuard];
    GuardedOut() { std::memset(bytes, '#', sizeof bytes); }
    bool Untouched() const {
        for (char b : bytes)
            if (b != '#') return false;
        return true;
    }
    bool GuardIntact() const {
        for (size_t i = kDisplayNameSize; i < sizeof bytes; ++i)
            if (bytes[i] != '#') return false;
        return true;
    }
};

TEST(PathParts, SplitsLikeTheRuntime) {
    for (const PathCase& c : kPathCases) {
        const PathParts parts = SplitPathParts(c.path);
        EXPECT_EQ(parts.drive, c.drive) << c.path;
        EXPECT_EQ(parts.dir, c.dir) << c.path;
        EXPECT_EQ(parts.name, c.name) << c.path;
        EXPECT_EQ(parts.ext, c.ext) << c.path;
        EXPECT_FALSE(parts.AnyCut()) << c.path;
    }
}

TEST(PathParts, CutsEachPartAt255Characters) {
    const std::string dir = "C:\\" + std::string(300, 'd') + "\\";
    const PathParts parts = SplitPathParts((dir + "n.e").c_str());
    EXPECT_TRUE(parts.dirCut);
    EXPECT_FALSE(parts.nameCut || parts.extCut);
    EXPECT_EQ(parts.dir.size(), kPathPartMax);
    EXPECT_EQ(parts.name, "n");
    EXPECT_EQ(parts.ext, ".e");
}

TEST(AttachmentDisplayName, FormsNameAndExtensionOrNothing) {
    for (const PathCase& c : kPathCases) {
        GuardedOut out;
        EXPECT_TRUE(AttachmentDisplayName(c.path, out.bytes)) << c.path;
        if (c.displayName != nullptr) {
            EXPECT_STREQ(out.bytes, c.displayName) << c.path;
            EXPECT_TRUE(out.GuardIntact()) << c.path;
        } else {
            EXPECT_TRUE(out.Untouched()) << c.path;
        }
    }
}

TEST(AttachmentDisplayName, NullPathIsRefusedAndOutUntouched) {
    GuardedOut out;
    EXPECT_FALSE(AttachmentDisplayName(nullptr, out.bytes));
    EXPECT_TRUE(out.Untouched());
}

// A name that fits the 260-byte buffer whole is formed; anything that would
// have to be cut (by the buffer or by the 255-character part limit) is not.
TEST(AttachmentDisplayName, NamesAtTheBufferLimit) {
    const struct {
        size_t nameLength;
        size_t extLength;  // including the dot
        bool formed;
    } cases[] = {
        {255, 4, true},     // 259 characters: the longest that fits
        {200, 59, true},    // 259 with a long extension
        {255, 5, false},    // 260: one too many for the buffer
        {200, 60, false},   // 260
        {256, 2, false},    // the name part itself was cut
        {10, 256, false},   // the extension part was cut
        {255, 255, false},  // both parts fit, together they do not
    };
    for (const auto& c : cases) {
        const std::string name(c.nameLength, 'n');
        const std::string ext = "." + std::string(c.extLength - 1, 'e');
        const std::string path = "C:\\d\\" + name + ext;
        GuardedOut out;
        EXPECT_TRUE(AttachmentDisplayName(path.c_str(), out.bytes));
        EXPECT_TRUE(out.GuardIntact()) << c.nameLength << "+" << c.extLength;
        if (c.formed) {
            EXPECT_EQ(std::string(out.bytes), name + ext);
        } else {
            EXPECT_TRUE(out.Untouched()) << c.nameLength << "+" << c.extLength;
        }
    }
}

TEST(AttachmentDisplayName, OverlongDirectoryStillGivesTheName) {
    const std::string path = "C:\\" + std::string(400, 'd') + "\\report.pdf";
    GuardedOut out;
    EXPECT_TRUE(AttachmentDisplayName(path.c_str(), out.bytes));
    EXPECT_STREQ(out.bytes, "report.pdf");
}

TEST(ReplaceAll, ReplacesEveryOccurrenceLeftToRight) {
    const struct {
        const char* text;
        const char* pattern;
        const char* replacement;
        const char* expected;
    } cases[] = {
        {"Line1\\nLine2", "\\n", "\n", "Line1\nLine2"},
        {"\\n\\n", "\\n", "\n", "\n\n"},
        {"a\\\\nb", "\\n", "\n", "a\\\nb"},
        {"no escapes \\t \\r \\\\", "\\n", "\n", "no escapes \\t \\r \\\\"},
        {"ends with \\", "\\n", "\n", "ends with \\"},
        {"\\n", "\\n", "\n", "\n"},
        {"", "\\n", "\n", ""},
        {"aaa", "a", "aa", "aaaaaa"},  // replacement holds the pattern: no rescan
        {"abcabc", "abc", "", ""},
        {"xabxab", "ab", "ba", "xbaxba"},
        {"abc", "", "z", "abc"},  // empty pattern changes nothing
    };
    for (const auto& c : cases) {
        Text text(c.text);
        Text& result = ReplaceAll(text, c.pattern, c.replacement);
        EXPECT_EQ(&result, &text);
        EXPECT_STREQ(text.c_str(), c.expected) << c.text;
    }
}

}  // namespace
