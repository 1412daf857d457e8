// The runtime's multibyte helpers follow the ANSI code page: in 932 a trail
// byte is part of its character, never a delimiter or a letter.
#include <mbstring.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AnsiCodePage.h"

namespace {

class MbstringTest : public AnsiCodePageTest {};

std::vector<std::string> Tokens(std::string text, const char* delimiters) {
    std::vector<std::string> tokens;
    auto* next = reinterpret_cast<unsigned char*>(&text[0]);
    const auto* cut = reinterpret_cast<const unsigned char*>(delimiters);
    for (unsigned char* token = _mbstok(next, cut); token != nullptr;
         token = _mbstok(nullptr, cut)) {
        tokens.emplace_back(reinterpret_cast<char*>(token));
    }
    return tokens;
}

int Compare(const char* first, const char* second) {
    const int result = _mbsicmp(reinterpret_cast<const unsigned char*>(first),
                                reinterpret_cast<const unsigned char*>(second));
    return result < 0 ? -1 : result > 0 ? 1 : 0;
}

TEST_F(MbstringTest, LeadBytesOnlyInCodePage932) {
    const struct {
        unsigned byte;
        bool lead;
    } bytes932[] = {{0x80, false}, {0x81, true},  {0x9F, true},  {0xA0, false},
                    {0xA1, false}, {0xDF, false}, {0xE0, true},  {0xFC, true},
                    {0xFD, false}, {0x5C, false}, {0x40, false}, {0x1FF, false}};
    ASSERT_TRUE(PlatformSetAnsiCodePage(932));
    for (const auto& b : bytes932) EXPECT_EQ(_ismbblead(b.byte) != 0, b.lead) << std::hex << b.byte;
    for (UINT codePage : {1252u, 65001u}) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(codePage));
        for (const auto& b : bytes932) EXPECT_EQ(_ismbblead(b.byte), 0) << codePage;
    }
}

TEST_F(MbstringTest, TokensAndComparisonsByCharacter) {
    const struct {
        UINT codePage;
        std::string text;
        const char* delimiters;
        std::vector<std::string> tokens;
    } splits[] = {
        // 0x95 0x5C is one character in 932, whose trail byte is a backslash.
        {932, "\x95\x5C\\x", "\\", {"\x95\x5C", "x"}},
        {1252, "\x95\x5C\\x", "\\", {"\x95", "x"}},
        // A delimiter of two bytes, and the same bytes straddling two characters.
        {932,
         "a\x81\x47\x81\x47"
         "b",
         "\x81\x47",
         {"a", "b"}},
        {932, "\x88\x81\x47", "\x81\x47", {"\x88\x81G"}},
        {932, "a;b", ";", {"a", "b"}},
    };
    for (const auto& s : splits) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(s.codePage));
        EXPECT_EQ(Tokens(s.text, s.delimiters), s.tokens) << s.codePage << " " << s.text;
    }
    const struct {
        UINT codePage;
        const char* first;
        const char* second;
        int order;
    } comparisons[] = {
        // Trail bytes 'A' and 'a': different characters, not letters to fold.
        {932, "\x83\x41", "\x83\x61", -1},
        {1252, "\x83\x41", "\x83\x61", 0},
        {932, "-TO", "-to", 0},
        {932, "\x82\x60", "\x82\x81", 0},  // fullwidth A and a
        {932, "a", "\x82\x81", -1},
    };
    for (const auto& c : comparisons) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(c.codePage));
        EXPECT_EQ(Compare(c.first, c.second), c.order) << c.codePage << " " << c.first;
    }
}

}  // namespace
