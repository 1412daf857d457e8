// Reading the body file through the kernel's file calls. The same cases run
// as a Windows program under Wine, against the real kernel.
#include "request/BodyFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "tests/TempDirTest.h"
#include "win32/SharedRead.h"

namespace {

class BodyFileTest : public TempDirTest {
protected:
    // The body read from path, or nothing when the read was refused.
    static std::optional<std::string> Read(const std::string& path, BodyFileFacts* facts = nullptr,
                                           UINT codePage = CP_ACP) {
        Text body("earlier body");
        BodyFileFacts read;
        const std::wstring wide = std::filesystem::path(path).wstring();
        const bool taken = ReadBodyFile(wide.c_str(), body, read, nullptr, codePage);
        if (facts != nullptr) *facts = read;
        EXPECT_EQ(taken, read.encoding != nullptr) << path;
        if (!taken) return std::nullopt;
        EXPECT_EQ(body.c_str()[body.size()], '\0');
        return std::string(body.c_str(), body.size());
    }
};

// The bytes of text in UTF-16 after its byte order mark.
std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

const std::string kUtf8Mark = "\xEF\xBB\xBF";
// "Grüße\r\n€" in UTF-8 and in code page 1252.
const std::string kGreeting =
    "Gr\xC3\xBC\xC3\x9F"
    "e\r\n\xE2\x82\xAC";
const std::string kGreeting1252 =
    "Gr\xFC\xDF"
    "e\r\n\x80";
// "? Ā ✓ 😀", and in code page 1252: the '?' is the text's own; Ā (whose
// best fit would be 'A'), ✓ and the emoji (two UTF-16 units) are not there.
const std::string kMissing = "? \xC4\x80 \xE2\x9C\x93 \xF0\x9F\x98\x80";
const std::u16string kMissing16 = u"? \u0100 \u2713 \U0001F600";
const std::string kMissing1252 = "? ? ? ?";

TEST_F(BodyFileTest, ReadsTheEncodingsWindowsSaves) {
    const struct {
        const char* name;
        std::string content;
        const char* encoding;  // null: refused
        std::string body;
        size_t notInCodePage;
    } cases[] = {
        {"utf8-mark.txt", kUtf8Mark + kGreeting, "UTF-8 with byte order mark", kGreeting1252, 0},
        {"utf8.txt", kGreeting, "UTF-8", kGreeting1252, 0},
        {"utf16le.txt", Utf16(u"Grüße\r\n€", false), "UTF-16 LE", kGreeting1252, 0},
        {"utf16be.txt", Utf16(u"Grüße\r\n€", true), "UTF-16 BE", kGreeting1252, 0},
        {"cp1252.txt", kGreeting1252 + "\x81", "ANSI code page", kGreeting1252 + "\x81", 0},
        {"ascii.txt", "plain\n", "ANSI code page", "plain\n", 0},
        {"mark-only.txt", kUtf8Mark, "UTF-8 with byte order mark", "", 0},
        {"utf16-mark-only.txt", Utf16(u"", true), "UTF-16 BE", "", 0},
        // Not UTF-8 without a mark: cut short, overlong, a surrogate, past U+10FFFF.
        {"cut.txt", "ab\xC3", "ANSI code page", "ab\xC3", 0},
        {"overlong.txt", "\xC0\xAF", "ANSI code page", "\xC0\xAF", 0},
        {"surrogate.txt", "\xED\xA0\x80", "ANSI code page", "\xED\xA0\x80", 0},
        {"too-high.txt", "\xF4\x90\x80\x80", "ANSI code page", "\xF4\x90\x80\x80", 0},
        {"missing-utf8.txt", kMissing, "UTF-8", kMissing1252, 3},
        {"missing-utf16.txt", Utf16(kMissing16, false), "UTF-16 LE", kMissing1252, 3},
        // Refused: the body would be cut short or altered.
        {"utf16-zero.txt", Utf16(std::u16string(u"A\0B", 3), false), nullptr, "", 0},
        {"utf16-odd.txt", Utf16(u"AB", true) + "C", nullptr, "", 0},
        {"lone-high.txt", Utf16(u"A\xD83D", false), nullptr, "", 0},
        {"lone-low.txt",
         Utf16(u"\xDE00"
               "A",
               true),
         nullptr, "", 0},
        {"swapped-pair.txt", Utf16(u"\xDE00\xD83D", false), nullptr, "", 0},
        {"utf8-mark-invalid.txt",
         kUtf8Mark + "Gr\xFC\xDF"
                     "e",
         nullptr, "", 0},
        {"utf8-zero.txt", kUtf8Mark + std::string("a\0b", 3), nullptr, "", 0},
    };
    for (const auto& c : cases) {
        BodyFileFacts facts;
        const std::optional<std::string> body = Read(Write(c.name, c.content), &facts);
        ASSERT_EQ(body.has_value(), c.encoding != nullptr) << c.name;
        if (!body) continue;
        EXPECT_STREQ(facts.encoding, c.encoding) << c.name;
        EXPECT_EQ(*body, c.body) << c.name;
        EXPECT_EQ(facts.notInCodePage, c.notInCodePage) << c.name;
    }
}

// A machine whose ANSI code page is UTF-8 loses no character; under Wine a
// double-byte code page as well, whose second bytes may be ASCII but never '?'.
TEST_F(BodyFileTest, ConvertsToOtherCodePages) {
    const std::u16string japanese = u"? ソ表 € \u0100 \U0001F600";
    const struct {
        UINT codePage;
        std::string content;
        std::string body;
        size_t notInCodePage;
    } cases[] = {
        {CP_UTF8, Utf16(kMissing16, true), kMissing, 0},
        {CP_UTF8, kUtf8Mark + kMissing, kMissing, 0},
        {932, Utf16(japanese, false), "? \x83\x5C\x95\x5C ? ? ?", 3},
    };
    for (const auto& c : cases) {
        char probe[4];
        if (WideCharToMultiByte(c.codePage, 0, L"A", 1, probe, sizeof probe, nullptr, nullptr) != 1)
            continue;  // the stand-in knows no double-byte code page
        BodyFileFacts facts;
        EXPECT_EQ(Read(Write("text.txt", c.content), &facts, c.codePage), c.body) << c.codePage;
        EXPECT_EQ(facts.notInCodePage, c.notInCodePage) << c.codePage;
    }
}

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
    // A device without end is no disk file: it is never read.
    BodyFileFacts facts;
    EXPECT_FALSE(Read("/dev/zero", &facts));
    EXPECT_STREQ(facts.refusal, kNotADiskFile);
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
