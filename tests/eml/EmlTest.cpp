// The draft file's encodings and folder where a fault would hide: line
// lengths, escapes, folding, header injection, and which old drafts go.
// Runs natively and, as a Windows program, under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "eml/MailboxAddress.h"
#include "eml/DraftFolder.h"
#include "eml/FileNameParameter.h"
#include "eml/HeaderFields.h"
#include "eml/MimeEncoding.h"
#include "tests/EnvironmentForTest.h"
#include "tests/TempDirTest.h"
#include "text/WideToUtf8.h"
#include "win32/FileHandle.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the last line has no CR LF";
    return lines;
}

std::string QuotedPrintableOf(const std::string& utf8) {
    Text out;
    EXPECT_TRUE(AppendQuotedPrintable(utf8.data(), utf8.size(), out));
    return out.c_str();
}

TEST(MimeEncoding, QuotedPrintable) {
    const struct {
        std::string text, encoded;
    } cases[] = {
        {"a=b", "a=3Db"},
        {"end \nnext\t", "end=20\r\nnext=09"},  // blanks before a line end are encoded
        {"x\r\ny\rz\n", "x\r\ny\r\nz\r\n"},     // every line break becomes CR LF
        {"Gr\xC3\xBC\xC3\x9F"
         "e",
         "Gr=C3=BC=C3=9Fe"},
        {std::string(75, 'a') + "b", std::string(75, 'a') + "=\r\nb"},
        {std::string(74, 'a') + "\xC3\xA9", std::string(74, 'a') + "=\r\n=C3=A9"},  // escape whole
    };
    for (const auto& c : cases) EXPECT_EQ(QuotedPrintableOf(c.text), c.encoded) << c.text;
    for (const std::string& line : Lines(QuotedPrintableOf(std::string(1000, '\xE9') + "\n")))
        EXPECT_LE(line.size(), 76u);
}

// The draft's body is encoded a slice at a time: a cut anywhere, even
// between CR and LF or inside a character, changes nothing.
TEST(MimeEncoding, QuotedPrintableInPiecesIsTheWhole) {
    const std::string text = "a \r\nb\t\rc\n\n" + std::string(80, 'x') + "=\xC3\xA9 \r\n";
    const std::string whole = QuotedPrintableOf(text);
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        Text out;
        QuotedPrintable encoder(out);
        ASSERT_TRUE(encoder.Append(text.data(), cut));
        ASSERT_TRUE(encoder.Append(text.data() + cut, text.size() - cut));
        ASSERT_TRUE(encoder.Finish());
        EXPECT_EQ(std::string(out.c_str(), out.size()), whole) << "cut at " << cut;
    }
}

TEST(MimeEncoding, Base64LinesAndEncodedWords) {
    for (size_t size : {0, 1, 56, 57, 58, 171}) {
        const std::string data(size, '\x7F');
        std::string out(Base64LinesSize(size), '\0');
        out.resize(
            WriteBase64Lines(reinterpret_cast<const unsigned char*>(data.data()), size, &out[0]));
        const std::vector<std::string> lines = Lines(out);
        ASSERT_EQ(lines.size(), (size + 56) / 57) << size;
        for (size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 76u);
    }
    // Words of whole characters (two bytes each here), none over 75.
    std::string text;
    for (int i = 0; i < 100; ++i) text += "\xC3\xBC";
    size_t bytes = 0;
    EXPECT_TRUE(ForEachEncodedWord(text.data(), text.size(), [&](const char* word, size_t n) {
        EXPECT_LE(n, 75u);
        EXPECT_EQ(std::string(word, 10), "=?utf-8?B?");
        bytes += (n - 12) / 4 * 3 - (word[n - 3] == '=') - (word[n - 4] == '=');
        EXPECT_EQ(bytes % 2, 0u) << "a character cut in two";
        return true;
    }));
    EXPECT_EQ(bytes, text.size());
}

TEST(HeaderFields, NoFieldCanStartAnotherAndLinesStayShort) {
    std::string list;
    for (int i = 0; i < 30; ++i) list += "person" + std::to_string(i) + "@example.com;";
    // Names that quoting or escaping would make twice as long.
    list += std::string(890, '"') + " <q@x.org>;\"" + std::string(899, '\\') + "\" <b@x.org>;" +
            std::string(950, 'n') + " <n@x.org>";
    ComposeRequest request;
    request.to = "a@x.org\r\nBcc: evil@x.org";
    request.cc = list.c_str();
    const std::string subject = "Hi\r\nBcc: evil@x.org " + std::string(2000, 'x');
    request.subject = subject.c_str();
    SYSTEMTIME utc{2026, 12, 3, 9, 5, 7, 3, 0};
    Text out;
    ASSERT_TRUE(AppendHeaderFields(request, utc, out));
    const std::string text = out.c_str();
    // First, so that a reader guessing the type from the content sees mail.
    EXPECT_EQ(text.rfind("Date: Wed, 09 Dec 2026 05:07:03 +0000\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("\r\nX-Unsent: 1\r\n"), std::string::npos);
    for (const std::string& line : Lines(text)) {
        EXPECT_NE(line.rfind("Bcc", 0), 0u) << line;
        EXPECT_LE(line.size(), 78u) << line;
    }
}

// Whether a line is as short as folding can make it: at most 78 characters,
// or, up to 998, one word with no white space to fold at (after the field's
// name on its first line).
bool FoldedWherePossible(const std::string& line) {
    if (line.size() <= 78) return true;
    const size_t start = line[0] == ' ' || line[0] == '\t' ? 0 : line.find(':') + 1;
    const size_t word = line.find_first_not_of(" \t", start);
    return line.size() <= 998 && line.find_first_of(" \t", word) == std::string::npos;
}

TEST(HeaderFields, FoldedWhereverAFoldFitsAndReadAsTyped) {
    const std::string url = "https://example.com/" + std::string(980, 'a');
    const struct {
        const char* to;
        std::string subject;
        std::string fields;  // after MIME-Version; empty: the lines are only measured
    } cases[] = {
        {"CORP\\jdoe <j@x.org>", "", "To: \"CORP\\\\jdoe\" <j@x.org>\r\n"},
        // White space between an encoded word and the special after it.
        {"J\xC3\xB6rg;ann@x.org", "", "To: =?utf-8?B?SsO2cmc=?= , ann@x.org\r\n"},
        // A quoted name folds at its blanks.
        {"\"Smith, John (Regional Office of the North, the Isles and the Coast, Survey and "
         "Mapping)\" <j@x.org>",
         "", ""},
        {nullptr, url, ""},  // words too long to stand plain
        {nullptr, "See " + url, ""},
        {nullptr, url.substr(0, 70) + " here", ""},  // a first word that a line holds only alone
    };
    for (const auto& c : cases) {
        ComposeRequest request;
        request.to = c.to;
        request.subject = c.subject.c_str();
        Text out;
        ASSERT_TRUE(AppendHeaderFields(request, SYSTEMTIME{2026, 12, 3, 9, 5, 7, 3, 0}, out));
        const std::string text = out.c_str();
        if (!c.fields.empty()) {
            EXPECT_EQ(text.substr(text.find("MIME-Version: 1.0\r\n") + 19), c.fields);
        }
        for (const std::string& line : Lines(text)) EXPECT_TRUE(FoldedWherePossible(line)) << line;
        // Python's parser reads a fold right after the name as a blank starting the subject.
        EXPECT_EQ(text.find("Subject:\r\n"), std::string::npos) << text;
    }
}

// Every length of a plain name around a line's, and cuts at every place in
// the escapes of two-, three- and four-byte characters: each piece within 78
// characters (with its ";"), of whole escapes, none starting inside a
// character, the charset before the first alone.
TEST(FileNameParameter, PiecesFitALineAndHoldWholeCharacters) {
    std::vector<std::string> names;
    for (size_t n = 1; n <= 200; ++n) names.push_back(std::string(n, 'a'));
    for (const std::string character : {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9D\x84\x9E"}) {
        for (size_t n = 0; n < 12; ++n) {
            names.push_back(std::string(n, 'x'));
            for (int i = 0; i < 30; ++i) names.back() += character;
        }
    }
    // Whole escapes, the first never of a continuation byte.
    const std::string escapes = "(%[0-7C-F][0-9A-F]|[^%'])(%[0-9A-F]{2}|[^%'])*";
    const std::regex piece("\tfilename(=\"[^\"]*\"|\\*\\d+=\"[^\"]*\"|\\*0\\*=utf-8''" + escapes +
                           "|\\*[1-9]\\d*\\*=" + escapes + ");?");
    for (const std::string& name : names) {
        Text out;
        ASSERT_TRUE(AppendFileNameParameter("filename", Text(name.c_str()), true, out));
        const std::vector<std::string> lines = Lines(std::string(out.c_str()) + "\r\n");
        for (size_t i = 1; i < lines.size(); ++i) {
            EXPECT_LE(lines[i].size(), 78u) << lines[i];
            EXPECT_TRUE(std::regex_match(lines[i], piece)) << lines[i];
        }
    }
}

// An address that a reader would split, or read as a group, is quoted; one
// that no mailbox can hold is refused, so the entry stays a name.
TEST(MailboxAddress, OneAddressWhateverItHolds) {
    const std::string tooLong = std::string(250, 'a') + "@x.org";
    const struct {
        std::string address;
        const char* mailbox;  // null: refused
    } cases[] = {
        {"jo@x.org", "jo@x.org"},
        {"j\xC3\xB6rg.m@x.org", "j\xC3\xB6rg.m@x.org"},
        {"a,b@x.org", "\"a,b\"@x.org"},
        {"EveBcc: x@evil.org", "\"EveBcc: x\"@evil.org"},
        {"Jo \"J\" \\@x.org", "\"Jo \\\"J\\\" \\\\\"@x.org"},
        {"x@y@z.org", "\"x@y\"@z.org"},
        {"a..b@x.org", "\"a..b\"@x.org"},
        {"mail@[192.0.2.1]", "mail@[192.0.2.1]"},
        {"a@dom ain", nullptr},
        {"a@x,y", nullptr},
        {"@x.org", nullptr},
        {"a@", nullptr},
        {"a\tb@x.org", nullptr},
        {tooLong, nullptr},
    };
    for (const auto& c : cases) {
        Text mailbox;
        EXPECT_EQ(FormMailboxAddress(Text(c.address.c_str()), mailbox), c.mailbox != nullptr)
            << c.address;
        if (c.mailbox != nullptr) {
            EXPECT_STREQ(mailbox.c_str(), c.mailbox) << c.address;
        }
    }
}

class DraftFolderTest : public TempDirTest {
protected:
    // The directory with its trailing separator, as DraftFolder gives one.
    WideText Folder() const {
        const std::wstring folder = (dir_ / "").wstring();
        WideText wide;
        EXPECT_TRUE(wide.assign(folder.c_str(), folder.size()));
        return wide;
    }
};

std::wstring AsWide(const WideText& text) {
    return std::wstring(text.c_str(), text.size());
}

TEST_F(DraftFolderTest, OnlyOldDraftsOfItsOwnNamingGo) {
    EXPECT_TRUE(IsDraftFileName("Quillora-20261209-050703-1234-1.eml"));
    for (const char* other : {"Quillora-20261209-050703-1234-1.eml.bak",
                              "quillora-20261209-050703-1-1.eml", "Quillora-2026129-050703-1-1.eml",
                              "Quillora-20261209-050703--1.eml", "Quillora-notes.eml"}) {
        EXPECT_FALSE(IsDraftFileName(other)) << other;
    }
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(25);
    const auto recent = std::filesystem::file_time_type::clock::now() - std::chrono::hours(23);
    const struct {
        const char* name;
        bool aged, stays;
    } files[] = {{"Quillora-20261201-000000-7-1.eml", true, false},
                 {"Quillora-20261208-060000-7-2.eml", false, true},
                 {"Quillora-notes.eml", true, true},
                 {"other.eml", true, true}};
    for (const auto& f : files) {
        Write(f.name, "x");
        std::filesystem::last_write_time(dir_ / f.name, f.aged ? old : recent);
    }
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    DeleteOldDrafts(Folder(), static_cast<ULONGLONG>(now.dwHighDateTime) << 32 | now.dwLowDateTime);
    for (const auto& f : files)
        EXPECT_EQ(std::filesystem::exists(dir_ / f.name), f.stays) << f.name;
}

TEST_F(DraftFolderTest, ANameTakenIsNeverOverwritten) {
    const SYSTEMTIME utc{2026, 12, 3, 9, 5, 7, 3, 0};
    const std::string stem = "Quillora-20261209-050703-" + std::to_string(GetCurrentProcessId());
    Write(stem + "-1.eml", "another run's draft");
    WideText path;
    FileHandle draft(CreateDraftFile(Folder(), utc, path));
    ASSERT_TRUE(draft.IsOpen());
    EXPECT_EQ(AsWide(path), (dir_ / (stem + "-2.eml")).wstring());
    std::ifstream taken(dir_ / (stem + "-1.eml"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(taken), {}), "another run's draft");
}

// A user whose profile folder the ANSI code page cannot name still gets
// drafts: the folder is reached by its UTF-16 path throughout.
TEST_F(DraftFolderTest, ATemporaryFolderBeyondTheCodePage) {
    const std::string separator(1, static_cast<char>(std::filesystem::path::preferred_separator));
    const std::string temp = dir_.u8string() + separator + "\xC5\x81ukasz \xE5\xB1\xB1\xE7\x94\xB0";
    std::filesystem::create_directories(std::filesystem::u8path(temp));
    TemporaryVariable tmp("TMP", temp + separator);
    WideText folder, path;
    ASSERT_TRUE(DraftFolder(folder, nullptr));
    EXPECT_EQ(AsWide(folder), Wide(temp + separator + "Quillora" + separator));
    const SYSTEMTIME utc{2026, 12, 3, 9, 5, 7, 3, 0};
    FileHandle draft(CreateDraftFile(folder, utc, path));
    ASSERT_TRUE(draft.IsOpen());
    draft.Close();
    Text utf8;
    ASSERT_TRUE(WideToUtf8(path.c_str(), path.size(), utf8));
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(utf8.c_str())));
}

}  // namespace
