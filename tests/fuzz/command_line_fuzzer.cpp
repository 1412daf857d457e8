// The option scan against a model of the command line's rules: each option
// takes the next argument whatever it is, an option with nothing after it is
// ignored, unknown arguments are skipped one at a time, a repeated option
// keeps its last value, names ignore ASCII case, the body's backslash-n
// pairs become line feeds, and -mailto and -eml (not taken as a value) are
// flags.
// -body and -bodyfile set one body, the last given winning. The fuzzer's
// bytes, cut at zero bytes, are the arguments after the program name, read
// as UTF-16 units: a byte below 0xF0 is the unit of that value, 0xF0 and up
// takes the next two bytes as one unit, so every look-alike of '-' or of a
// letter (U+FF0D, U+2212, U+0131 ...) can stand where an option would, and
// must never make one.
#include <cstring>
#include <string>
#include <vector>

#include "request/CommandLine.h"
#include "tests/fuzz/FuzzModel.h"
#include "text/TextHelpers.h"
#include "text/WideToUtf8.h"

namespace {

const char* const kOptionNames[] = {"-to",   "-cc",         "-bcc",      "-subject",
                                    "-body", "-attachment", "-bodyfile", "-log"};
enum Field { kTo, kCc, kBcc, kSubject, kBody, kAttachment, kBodyFile, kLog, kFieldCount };

std::string AsciiLower(const std::string& word) {
    std::string lower = word;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

int FieldNamed(const std::string& word) {
    const std::string lower = AsciiLower(word);
    for (int field = 0; field < kFieldCount; ++field) {
        if (lower == kOptionNames[field]) return field;
    }
    return -1;
}

std::string WithLineFeeds(const std::string& value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += value[i];
        }
    }
    return out;
}

// An argument's units, as the fuzzer's bytes name them.
std::wstring Units(const std::string& bytes) {
    std::wstring units;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0xF0 && i + 2 < bytes.size()) {
            const unsigned unit = static_cast<unsigned char>(bytes[i + 1]) << 8 |
                                  static_cast<unsigned char>(bytes[i + 2]);
            units += static_cast<wchar_t>(unit != 0 ? unit : 0xFFFD);
            i += 2;
        } else {
            units += static_cast<wchar_t>(b);
        }
    }
    return units;
}

// The model's option name: only ASCII units can spell one.
std::string AsciiName(const std::wstring& word) {
    std::string name;
    for (const wchar_t unit : word) {
        if (unit > 0x7F) return std::string();
        name += static_cast<char>(unit);
    }
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::wstring> words;
    words.push_back(L"Quillora");
    for (const std::string& piece : fuzz::PiecesBetweenZeros(data, size)) {
        words.push_back(Units(piece));
    }
    const std::vector<std::wstring> original = words;
    std::vector<const WCHAR*> argv;
    for (const std::wstring& word : words) argv.push_back(word.c_str());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());

    // The model: which argument each field takes its value from (0: none).
    int valueAt[kFieldCount] = {};
    bool mailto = false, eml = false;
    for (int i = 1; i < argc;) {
        const std::string name = AsciiLower(AsciiName(words[i]));
        const int field = FieldNamed(name);
        if (name == "-mailto" || name == "-eml") {
            (name == "-eml" ? eml : mailto) = true;
            i += 1;
        } else if (field >= 0 && i + 1 < argc) {
            valueAt[field] = i + 1;
            // One body: the later of -body and -bodyfile clears the other.
            if (field == kBody) valueAt[kBodyFile] = 0;
            if (field == kBodyFile) valueAt[kBody] = 0;
            i += 2;
        } else {
            i += 1;
        }
    }

    const CommandLine line = ParseCommandLine(argc, argv.data());
    const int got[kFieldCount] = {line.to,
                                  line.cc,
                                  line.bcc,
                                  line.subject,
                                  line.bodyFromFile ? 0 : line.body,
                                  line.attachment,
                                  line.bodyFromFile ? line.body : 0,
                                  line.log};
    for (int field = 0; field < kFieldCount; ++field) {
        fuzz::Expect(got[field] == valueAt[field], "wrong value for", kOptionNames[field]);
    }
    if (valueAt[kBody] != 0) {
        // The body as the roads get it: each backslash-n of the UTF-8 text a
        // line feed, and nothing else.
        const std::wstring& value = words[valueAt[kBody]];
        Text utf8;
        fuzz::Expect(WideToUtf8(value.c_str(), value.size(), utf8), "UTF-8 of the body");
        const std::string typed(utf8.c_str(), utf8.size());
        ReplaceAll(utf8, "\\n", "\n", CP_UTF8);
        fuzz::ExpectSame(WithLineFeeds(typed), std::string(utf8.c_str(), utf8.size()), "body");
    }
    fuzz::Expect(line.mailto == mailto, "-mailto flag", mailto ? "missed" : "set");
    fuzz::Expect(line.eml == eml, "-eml flag", eml ? "missed" : "set");
    for (int i = 0; i < argc; ++i) {
        fuzz::Expect(original[i] == std::wstring(argv[i]), "an argument was changed");
    }
    return 0;
}
