// The option scan against a model of the command line's rules: each option
// takes the next argument whatever it is, an option with nothing after it is
// ignored, unknown arguments are skipped one at a time, a repeated option
// keeps its last value, names ignore ASCII case, the body's backslash-n
// pairs become line feeds, and -mailto and -eml (not taken as a value) are
// flags.
// -body and -bodyfile set one body, the last given winning. The fuzzer's
// bytes, cut at zero bytes, are the arguments after the program name.
#include <cstring>
#include <string>
#include <vector>

#include "front/CommandLine.h"
#include "tests/fuzz/FuzzModel.h"
#include "text/TextHelpers.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> words = fuzz::PiecesBetweenZeros(data, size);
    words.insert(words.begin(), "Quillora");
    const std::vector<std::string> original = words;
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(&word[0]);
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());

    // The model: which argument each field takes its value from (0: none).
    int valueAt[kFieldCount] = {};
    bool mailto = false, eml = false;
    for (int i = 1; i < argc;) {
        const int field = FieldNamed(words[i]);
        if (AsciiLower(words[i]) == "-mailto" || AsciiLower(words[i]) == "-eml") {
            (AsciiLower(words[i]) == "-eml" ? eml : mailto) = true;
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
        // The body as the roads get it: each backslash-n a line feed.
        Text body(argv[valueAt[kBody]]);
        ReplaceAll(body, "\\n", "\n");
        fuzz::ExpectSame(WithLineFeeds(original[valueAt[kBody]]),
                         std::string(body.c_str(), body.size()), "body");
    }
    fuzz::Expect(line.mailto == mailto, "-mailto flag", mailto ? "missed" : "set");
    fuzz::Expect(line.eml == eml, "-eml flag", eml ? "missed" : "set");
    for (int i = 0; i < argc; ++i) {
        fuzz::ExpectSame(original[i], std::string(argv[i]), "an argument was changed");
    }
    return 0;
}
