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
    const auto* cut = reinterpret_cast<const unsigned char*>(delimiters);
    auto* next = reinterpret_cast<unsigned char*>(&text[0]);
    for (unsigned char* token = _mbstok(next, cut); token != nullptr;
         token = _mbstok(nullptr, cut)) {
        tokens.emplace_back(reinterpret_cast<char*>(token));
    }
    return tokens;
}

TEST_F(MbstringTest, ByCharacterOnlyInCodePage932) {
    for (UINT codePage : {932u, 1252u, 65001u}) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(codePage));
        for (unsigned lead : {0x81, 0x9F, 0xE0, 0xFC})
            EXPECT_EQ(_ismbblead(lead) != 0, codePage == 932);
        for (unsigned other : {0x80, 0xA0, 0xA1, 0xDF, 0xFD, 0x5C, 0x181})
            EXPECT_EQ(_ismbblead(other), 0);
    }
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
    };
    for (const auto& s : splits) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(s.codePage));
        EXPECT_EQ(Tokens(s.text, s.delimiters), s.tokens) << s.codePage << " " << s.text;
    }
    const struct {
        UINT codePage;
        const char* first;
        const char* second;
        bool equal;
    } comparisons[] = {
        {932, "\x83\x41", "\x83\x61", false},  // trail bytes 'A' and 'a': no letters
        {1252, "\x83\x41", "\x83\x61", true},
        {932, "-TO", "-to", true},
        {932, "\x82\x60", "\x82\x81", true},  // fullwidth A and a
    };
    for (const auto& c : comparisons) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(c.codePage));
        EXPECT_EQ(_mbsicmp(reinterpret_cast<const unsigned char*>(c.first),
                           reinterpret_cast<const unsigned char*>(c.second)) == 0,
                  c.equal)
            << c.codePage << " " << c.first;
    }
}

}  // namespace
