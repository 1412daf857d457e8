// The draft's encoders, read back with the tests' own decoders: base64 lines,
// quoted-printable text, folded header fields with RFC 2047 words, recipient
// lists and file name parameters.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "eml/AddressList.h"
#include "eml/Base64.h"
#include "eml/FileNameParameter.h"
#include "eml/HeaderText.h"
#include "eml/QuotedPrintable.h"
#include "tests/eml/MimeTesting.h"

namespace {

std::string RandomBytes(size_t count) {
    std::mt19937 random(static_cast<unsigned>(count));
    std::string bytes(count, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    return bytes;
}

std::string Lines64(const std::string& bytes) {
    std::string out(Base64LinesSize(bytes.size()), '\0');
    out.resize(EncodeBase64Lines(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                                 &out[0]));
    return out;
}

// Every size around a line and a group; pieces of whole lines join up.
TEST(Base64Lines, DecodeToTheBytesInLinesOf76) {
    for (size_t size : {0, 1, 2, 3, 56, 57, 58, 113, 114, 115, 57 * 5 + 2}) {
        const std::string bytes = RandomBytes(size);
        const std::string text = Lines64(bytes);
        EXPECT_EQ(mime::Base64Decoded(text), bytes) << size;
        const auto lines = mime::Lines(text);
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].size(),
                      i + 1 < lines.size() || size % 57 == 0 ? 76u : (size % 57 + 2) / 3 * 4)
                << size;
        }
        EXPECT_TRUE(size == 0 || text.compare(text.size() - 2, 2, "\r\n") == 0) << size;
        if (size > 114) {
            EXPECT_EQ(Lines64(bytes.substr(0, 114)) + Lines64(bytes.substr(114)), text);
        }
    }
}

std::string QuotedPrintable(const std::string& text, bool closeLine) {
    mime::Capture capture;
    EXPECT_TRUE(WriteQuotedPrintable(capture.out, text.data(), text.size(), closeLine));
    return capture.Text();
}

TEST(QuotedPrintable, EveryLineBreakIsCrLfAndLinesStayShort) {
    const std::string longLine(200, 'a');
    const struct {
        std::string text, decoded;
    } cases[] = {
        {"a\nb\r\nc\rd\r\r\ne", "a\r\nb\r\nc\r\nd\r\n\r\ne"},
        {"blank at the end \nand\t\r\ntab\t", "blank at the end \r\nand\t\r\ntab\t"},
        {"1 = 2, Gr\xC3\xBC\xC3\x9F"
         "e",
         "1 = 2, Gr\xC3\xBC\xC3\x9F"
         "e"},
        {longLine, longLine},
        {std::string(74, 'x') + "\xC3\xBC" + std::string(80, '='), ""},
        {"", ""},
        {"ends with a break\n", "ends with a break\r\n"},
    };
    for (const auto& c : cases) {
        const std::string decoded = c.decoded.empty() ? c.text : c.decoded;
        for (bool closeLine : {false, true}) {
            const std::string encoded = QuotedPrintable(c.text, closeLine);
            EXPECT_EQ(mime::QuotedPrintableDecoded(encoded), decoded) << c.text;
            EXPECT_TRUE(mime::OnlyCrLf(encoded)) << c.text;
            for (const std::string& line : mime::Lines(encoded)) {
                EXPECT_LE(line.size(), 76u) << line;
                EXPECT_TRUE(line.empty() || (line.back() != ' ' && line.back() != '\t')) << line;
            }
            if (closeLine && !c.text.empty()) {
                EXPECT_EQ(encoded.substr(encoded.size() - 2), "\r\n") << c.text;
            }
        }
    }
}

std::string Field(const char* name, void (*write)(HeaderWriter&, const std::string&),
                  const std::string& text) {
    mime::Capture capture;
    HeaderWriter header(capture.out);
    header.Start(name);
    write(header, text);
    header.End();
    return capture.Text();
}

// A field unfolds and decodes to its text; no line may be over 998 octets,
// none only blanks, and every encoded word is at most 75 characters.
void ExpectReadsBack(const std::string& field, const std::string& text) {
    EXPECT_EQ(mime::HeaderDecoded(field.substr(0, field.size() - 2)), text) << field;
    for (const std::string& line : mime::Lines(field)) {
        EXPECT_LE(line.size(), 998u);
        EXPECT_NE(line.find_first_not_of(' '), std::string::npos) << field;
        for (size_t at = line.find("=?utf-8?B?"); at != std::string::npos;
             at = line.find("=?utf-8?B?", at + 1)) {
            EXPECT_LE(line.find("?=", at + 10) + 2 - at, kEncodedWordLimit) << line;
        }
    }
    EXPECT_TRUE(mime::OnlyCrLf(field)) << field;
}

TEST(HeaderText, SubjectsFoldAndEncodeLosslessly) {
    std::string words;
    for (int i = 0; i < 40; ++i) words += "word" + std::to_string(i) + " ";
    words.pop_back();
    const std::string cases[] = {
        "Monthly report",
        words,
        "Gr\xC3\xBC\xC3\x9F"
        "e & more \xE2\x82\xAC",
        std::string(30, '\xE2'),  // not UTF-8 at all: still whole
        "two  blanks",
        " leading and trailing ",
        "looks like =?utf-8?B?QQ==?= a word",
        std::string(300, 'x'),
        "tab\there",
        std::string(50, ' ') + "\xC3\xA4",
    };
    for (const std::string& text : cases) {
        ExpectReadsBack(Field(
                            "Subject",
                            [](HeaderWriter& h, const std::string& t) {
                                WriteUnstructured(h, t.data(), t.size());
                            },
                            text),
                        text);
    }
    // Unicode text never splits a character between two words.
    std::string umlauts;
    for (int i = 0; i < 60; ++i) umlauts += "\xC3\xA4";
    const std::string field = Field(
        "Subject",
        [](HeaderWriter& h, const std::string& t) { WriteEncodedWords(h, t.data(), t.size()); },
        "a" + umlauts);
    for (const std::string& line : mime::Lines(field)) {
        const size_t start = line.find("=?utf-8?B?") + 10;
        const std::string word =
            mime::Base64Decoded(line.substr(start, line.find("?=", start) - start));
        EXPECT_NE(static_cast<unsigned char>(word[0]) & 0xC0, 0x80u) << line;
    }
}

TEST(JoinLines, NoLineBreakSurvives) {
    Text line;
    ASSERT_TRUE(JoinLines("a\r\nb\nc\rd\r\r\n", line));
    EXPECT_EQ(std::string(line.c_str()), "a b c d  ");
}

std::string ToField(const std::string& list) {
    mime::Capture capture;
    HeaderWriter header(capture.out);
    EXPECT_TRUE(WriteAddressList(header, "To", list.c_str(), 1252));
    return capture.Text();
}

TEST(AddressList, EntriesReadBackAsTheirMailboxOrName) {
    const struct {
        const char* list;
        const char* field;  // unfolded, without CR LF; "" for no field
    } cases[] = {
        {"Alice Example;bob@example.com", "To: Alice Example, bob@example.com"},
        {" Doe, Jo <jo@x.org> ;\"Smith, Ann\" <ann@x.org>",
         "To: \"Doe, Jo\" <jo@x.org>, \"Smith, Ann\" <ann@x.org>"},
        {"J\xF6rg <j@x.org>;J\xF6rg", "To: =?utf-8?B?SsO2cmc=?= <j@x.org>, =?utf-8?B?SsO2cmc=?="},
        {"Jo \"JJ\" \\ Doe <jo@x.org>", "To: \"Jo \\\"JJ\\\" \\\\ Doe\" <jo@x.org>"},
        {";; ;\t", ""},
        {"<jo@x.org>", "To: jo@x.org"},
        // Text that would make a header line, or a second address, of its own.
        {"Eve\r\nBcc: x@evil.org", "To: \"Eve Bcc: x\"@evil.org"},
        {"a,b@x.org;x@y@z.org", "To: \"a,b\"@x.org, \"x@y\"@z.org"},
        {"bad@dom ain;Jo D. Doe", "To: \"bad@dom ain\", \"Jo D. Doe\""},
        {"mail@[192.0.2.1]", "To: mail@[192.0.2.1]"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mime::Unfolded(ToField(c.list)),
                  *c.field != '\0' ? std::string(c.field) + "\r\n" : "")
            << c.list;
    }
}

TEST(AddressList, LongListsFoldBetweenEntries) {
    std::string list, joined = "To:";
    for (int i = 0; i < 30; ++i) {
        list += "Person Number" + std::to_string(i) + " <p" + std::to_string(i) + "@example.com>;";
        joined += std::string(i ? "," : "") + " Person Number" + std::to_string(i) + " <p" +
                  std::to_string(i) + "@example.com>";
    }
    const std::string field = ToField(list);
    ExpectReadsBack(field, joined.substr(4));
    for (const std::string& line : mime::Lines(field)) EXPECT_LE(line.size(), 78u) << line;
}

std::string Parameters(const std::string& name, bool plain) {
    mime::Capture capture;
    HeaderWriter header(capture.out);
    header.Start("Content-Disposition");
    header.Token("attachment");
    WriteFileNameParameter(header, "filename", name.data(), name.size(), plain);
    header.End();
    return capture.Text();
}

// The RFC 2231 sections of a field, joined and percent-decoded.
std::string ExtendedValue(const std::string& field) {
    std::string value;
    for (size_t at = field.find("*="); at != std::string::npos; at = field.find("*=", at + 2)) {
        size_t start = at + 2;
        if (field.compare(start, 7, "utf-8''") == 0) start += 7;
        const size_t end = field.find_first_of(";\r", start);
        const std::string section = field.substr(start, end - start);
        for (size_t i = 0; i < section.size(); ++i) {
            if (section[i] != '%')
                value += section[i];
            else
                value += static_cast<char>(std::stoi(section.substr(++i, 2), nullptr, 16)), ++i;
        }
    }
    return value;
}

TEST(FileNameParameter, PlainOrRfc2231WithAPlainFallback) {
    std::string longName;
    for (int i = 0; i < 100; ++i) longName += "\xC3\xA4";
    longName += " (1).pdf";
    const struct {
        std::string name, plain, extended;
    } cases[] = {
        {"report 2026.pdf", "filename=\"report 2026.pdf\"", "filename=\"report 2026.pdf\""},
        {"M\xC3\xA4rz; \"final\".pdf", "filename=\"M_rz; \\\"final\\\".pdf\"",
         "filename*0*=utf-8''M%C3%A4rz%3B%20%22final%22.pdf"},
        {longName, "filename=\"" + std::string(100, '_') + " (1).pdf\"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mime::Unfolded(Parameters(c.name, true)),
                  "Content-Disposition: attachment; " + c.plain + "\r\n");
        const std::string extended = Parameters(c.name, false);
        if (!c.extended.empty()) {
            EXPECT_EQ(mime::Unfolded(extended),
                      "Content-Disposition: attachment; " + c.extended + "\r\n");
        } else {
            EXPECT_EQ(ExtendedValue(extended), c.name);
            for (const std::string& line : mime::Lines(extended)) EXPECT_LE(line.size(), 78u);
        }
    }
}

}  // namespace
