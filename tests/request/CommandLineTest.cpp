#include "request/CommandLine.h"

#include "request/ResolvedRequest.h"
#include "request/WideCommandLine.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "text/WideToUtf8.h"

namespace {

std::wstring Wide(const std::string& utf8) {
    WideText wide;
    EXPECT_TRUE(Utf8ToWide(utf8.data(), utf8.size(), wide));
    return std::wstring(wide.c_str(), wide.size());
}

// The arguments as typed, with argv[0] and a terminating null.
struct Args {
    std::vector<std::wstring> words;
    std::vector<const WCHAR*> argv;
    explicit Args(const std::vector<std::string>& w) {
        for (const auto& word : w) words.push_back(Wide(word));
        for (const auto& word : words) argv.push_back(word.c_str());
        argv.push_back(nullptr);
    }
    int argc() const { return static_cast<int>(words.size()); }
};

using Field = std::optional<std::string>;

Field FieldOf(const char* p) {
    return p != nullptr ? Field(p) : std::nullopt;
}

Field PathOf(const AttachedFile* file) {
    Text utf8;
    if (file == nullptr) return std::nullopt;
    EXPECT_TRUE(WideToUtf8(file->path, WideLength(file->path), utf8));
    return std::string(utf8.c_str(), utf8.size());
}

struct Expected {
    Field to, cc, bcc, subject, body, attachment;
};

void ExpectRequest(const ComposeRequest& r, const Expected& e, const std::string& label) {
    EXPECT_EQ(FieldOf(r.to), e.to) << label;
    EXPECT_EQ(FieldOf(r.cc), e.cc) << label;
    EXPECT_EQ(FieldOf(r.bcc), e.bcc) << label;
    EXPECT_EQ(FieldOf(r.subject), e.subject) << label;
    EXPECT_EQ(FieldOf(r.body), e.body) << label;
    EXPECT_EQ(PathOf(r.attachment), e.attachment) << label;
}

// The request, as the program resolves the command line.
const ComposeRequest& Resolve(const Args& args, ResolvedRequest& resolved) {
    const CommandLine line = ParseCommandLine(args.argc(), args.argv.data());
    EXPECT_TRUE(resolved.Resolve(line, args.argv.data()));
    return resolved.Request();
}

std::string Label(const std::vector<std::string>& words) {
    std::string label;
    for (const auto& w : words) label += "[" + w + "]";
    return label;
}

TEST(ParseCommandLine, ScansOptionsAndValues) {
    const struct {
        std::vector<std::string> words;
        Expected expected;
    } cases[] = {
        {{"Quillora"}, {}},
        {{"Quillora", "-to", "alice;bob", "-subject", "Hi there", "-body", "Line1\\nLine2"},
         {"alice;bob", {}, {}, "Hi there", "Line1\nLine2", {}}},
        {{"q", "-to", "a", "-cc", "c", "-bcc", "b", "-subject", "s", "-body", "x", "-attachment",
          "C:\\f.txt"},
         {"a", "c", "b", "s", "x", "C:\\f.txt"}},
        // Case is ignored in option names.
        {{"q", "-SUBJECT", "S", "-To", "t", "-cC", "c", "-BCC", "b", "-Body", "B", "-ATTACHMENT",
          "f"},
         {"t", "c", "b", "S", "B", "f"}},
        // An option given last has no value and is ignored.
        {{"q", "-subject"}, {}},
        {{"q", "-to", "a", "-subject"}, {"a", {}, {}, {}, {}, {}}},
        // Repeated options keep the last value.
        {{"q", "-to", "a", "-to", "b"}, {"b", {}, {}, {}, {}, {}}},
        {{"q", "-attachment", "one", "-attachment", "two"}, {{}, {}, {}, {}, {}, "two"}},
        {{"q", "-body", "first\\n", "-body", "second"}, {{}, {}, {}, {}, "second", {}}},
        // Unknown arguments are skipped one at a time.
        {{"q", "-foo", "-cc", "c"}, {{}, "c", {}, {}, {}, {}}},
        {{"q", "stray", "words", "-bcc", "b"}, {{}, {}, "b", {}, {}, {}}},
        // A value is taken as it is, even when it looks like an option.
        {{"q", "-to", "-cc", "c"}, {"-cc", {}, {}, {}, {}, {}}},
        {{"q", "-subject", "-body", "-body", "-subject"}, {{}, {}, {}, "-body", "-subject", {}}},
        // Only exact option names match.
        {{"q", "-t", "x", "-tox", "y", "to", "z", "--to", "w", "-to ", "v", "-"}, {}},
        // Empty values are values.
        {{"q", "-subject", "", "-body", "", "-to", ""}, {"", {}, {}, "", "", {}}},
    };
    for (const auto& c : cases) {
        Args args(c.words);
        ResolvedRequest resolved;
        ExpectRequest(Resolve(args, resolved), c.expected, Label(c.words));
    }
}

// -mailto and -eml take no value and are never taken as one after another
// option; -log takes one like the other options.
TEST(ParseCommandLine, FlagsAndLog) {
    const struct {
        std::vector<std::string> words;
        bool mailto, eml;
        Field log;
        Expected expected;
    } cases[] = {
        {{"q", "-to", "a"}, false, false, {}, {"a", {}, {}, {}, {}, {}}},
        {{"q", "-mailto"}, true, false, {}, {}},
        {{"q", "-MailTo", "-to", "a", "-mailto", "-body", "b"},
         true,
         false,
         {},
         {"a", {}, {}, {}, "b", {}}},
        {{"q", "-to", "-mailto", "-cc", "c"}, false, false, {}, {"-mailto", "c", {}, {}, {}, {}}},
        {{"q", "-mailtox", "mailto", "--mailto", "-mailto ", "-emlx"}, false, false, {}, {}},
        {{"q", "-subject", "s", "-mailto", "-bcc"}, true, false, {}, {{}, {}, {}, "s", {}, {}}},
        {{"q", "-EML", "-to", "a", "-mailto"}, true, true, {}, {"a", {}, {}, {}, {}, {}}},
        {{"q", "-to", "-eml", "-log", "-eml"}, false, false, "-eml", {"-eml", {}, {}, {}, {}, {}}},
        {{"q", "-Log", "a.log", "-log", "b.log", "-log"}, false, false, "b.log", {}},
    };
    for (const auto& c : cases) {
        Args args(c.words);
        const CommandLine line = ParseCommandLine(args.argc(), args.argv.data());
        EXPECT_EQ(line.mailto, c.mailto) << Label(c.words);
        EXPECT_EQ(line.eml, c.eml) << Label(c.words);
        const WCHAR* log = ArgumentAt(args.argv.data(), line.log);
        EXPECT_EQ(log != nullptr ? Field(std::string(log, log + WideLength(log))) : Field(), c.log)
            << Label(c.words);
        ResolvedRequest resolved;
        ExpectRequest(Resolve(args, resolved), c.expected, Label(c.words));
    }
}

// Every argument after -files is a file, whatever it looks like; before it,
// everything is as without it.
TEST(ParseCommandLine, FilesTakeEveryArgumentAfterThem) {
    const struct {
        std::vector<std::string> words;
        int firstFile;  // 0: no -files
        Expected expected;
    } cases[] = {
        {{"q", "-eml", "-FILES", "C:\\a b.pdf", "-to", "x", "-files", "--"}, 3, {}},
        {{"q", "-to", "t", "-attachment", "a", "-files"}, 6, {"t", {}, {}, {}, {}, "a"}},
        {{"q", "-to", "-files", "-cc", "c"}, 0, {"-files", "c", {}, {}, {}, {}}},
        {{"q", "-files_", "x", "\xEF\xBC\x8D" "files", "y"}, 0, {}},
    };
    for (const auto& c : cases) {
        Args args(c.words);
        const CommandLine line = ParseCommandLine(args.argc(), args.argv.data());
        EXPECT_EQ(line.files, c.firstFile != 0) << Label(c.words);
        EXPECT_EQ(line.firstFile, c.firstFile) << Label(c.words);
        ResolvedRequest resolved;
        const ComposeRequest& r = Resolve(args, resolved);
        ExpectRequest(r, c.expected, Label(c.words));
        const size_t files = c.firstFile != 0 ? c.words.size() - c.firstFile : 0;
        ASSERT_EQ(r.fileCount, files) << Label(c.words);
        for (size_t i = 0; i < files; ++i) {
            EXPECT_EQ(PathOf(&r.files[i]), c.words[c.firstFile + i]) << Label(c.words);
            EXPECT_FALSE(r.files[i].IsOpen());
        }
        EXPECT_EQ(r.AttachmentCount(), files + (r.attachment != nullptr ? 1 : 0));
    }
}

TEST(ParseCommandLine, ArgumentZeroIsNeverAnOption) {
    Args args({"-to", "x"});
    ResolvedRequest resolved;
    ExpectRequest(Resolve(args, resolved), {}, "argv[0]");
}

TEST(ParseCommandLine, NoArgumentsAtAll) {
    const WCHAR* argv[] = {nullptr};
    EXPECT_TRUE(ParseCommandLine(0, argv) == CommandLine());
}

TEST(ParseCommandLine, BodyEscapes) {
    const struct {
        const char* value;
        const char* expected;
    } cases[] = {
        {"Line1\\nLine2", "Line1\nLine2"},
        {"a\\\\nb", "a\\\nb"},  // the second backslash and the n form the escape
        {"\\n\\n", "\n\n"},
        {"tab\\t cr\\r bs\\\\", "tab\\t cr\\r bs\\\\"},
        {"\\N stays", "\\N stays"},
        {"trailing\\", "trailing\\"},
        {"", ""},
    };
    for (const auto& c : cases) {
        Args args({"q", "-body", c.value});
        ResolvedRequest resolved;
        const ComposeRequest& r = Resolve(args, resolved);
        ASSERT_NE(r.body, nullptr) << c.value;
        EXPECT_STREQ(r.body, c.expected) << c.value;
        // The same body for the MAPI roads.
        EXPECT_STREQ(r.ansiBody, c.expected) << c.value;
    }
}

// -body and -bodyfile set the same body: the last one given wins.
TEST(ParseCommandLine, BodyOrBodyFile) {
    const struct {
        std::vector<std::string> words;
        Field body, bodyFile;
    } cases[] = {
        {{"q", "-body", "b", "-bodyfile", "f"}, {}, "f"},
        {{"q", "-bodyfile", "f", "-body", "b"}, "b", {}},
        {{"q", "-bodyfile", "f", "-BODYFILE", "g"}, {}, "g"},
        {{"q", "-BodyFile", "C:\\a\\n.txt"}, {}, "C:\\a\\n.txt"},
        {{"q", "-body", "b", "-bodyfile"}, "b", {}},
        {{"q", "-to", "-bodyfile", "f"}, {}, {}},
        {{"q", "-bodyfile", "-body", "b"}, {}, "-body"},
    };
    for (const auto& c : cases) {
        Args args(c.words);
        const CommandLine line = ParseCommandLine(args.argc(), args.argv.data());
        const WCHAR* at = ArgumentAt(args.argv.data(), line.body);
        const Field value = at != nullptr ? Field(std::string(at, at + WideLength(at))) : Field();
        EXPECT_EQ(line.bodyFromFile ? Field() : value, c.body) << Label(c.words);
        EXPECT_EQ(line.bodyFromFile ? value : Field(), c.bodyFile) << Label(c.words);
    }
}

TEST(ParseCommandLine, WithoutBodyTheBodyIsNull) {
    Args args({"q", "-to", "a"});
    ResolvedRequest resolved;
    EXPECT_EQ(Resolve(args, resolved).body, nullptr);
}

}  // namespace

namespace {

// The C runtime's rules, as the ANSI arguments were split by them.
TEST(SplitCommandLine, SplitsAsTheRuntimeSplitsArgv) {
    const struct {
        const WCHAR* line;
        std::vector<std::wstring> arguments;
    } cases[] = {
        {L"q.exe", {L"q.exe"}},
        {L"\"C:\\Program Files\\Q\\q.exe\" -to \"a b\"",
         {L"C:\\Program Files\\Q\\q.exe", L"-to", L"a b"}},
        {L"q  \t a\tb ", {L"q", L"a", L"b"}},
        {L"q \"\" x", {L"q", L"", L"x"}},
        {L"q a\\\\b c\\\\\"d e\"", {L"q", L"a\\\\b", L"c\\d e"}},
        {L"q a\\\"b \\\\\\\"c", {L"q", L"a\"b", L"\\\"c"}},
        {L"q \"a\"\"b\" c", {L"q", L"a\"b", L"c"}},
        {L"q \"open end", {L"q", L"open end"}},
        {L"q \x0141\x00F3\x2713 \"\x65E5\x672C \x8A9E\"",
         {L"q", L"\x0141\x00F3\x2713", L"\x65E5\x672C \x8A9E"}},
    };
    for (const auto& c : cases) {
        size_t length = 0;
        while (c.line[length] != 0) ++length;
        std::vector<WCHAR> out(length + 1);
        std::vector<const WCHAR*> args(SplitArgumentsMost(length));
        const int count = SplitCommandLine(c.line, out.data(), args.data());
        std::vector<std::wstring> got(args.begin(), args.begin() + count);
        EXPECT_EQ(got, c.arguments) << std::string(c.line, c.line + length);
    }
}

}  // namespace
