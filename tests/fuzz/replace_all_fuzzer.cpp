// ReplaceAll against a model: the text is read left to right, each
// occurrence of the pattern is replaced and reading resumes after it, so
// replaced text and overlapping occurrences are never matched again; an
// empty pattern changes nothing. The text may hold zero bytes; pattern and
// replacement are C strings. The first two bytes give the pattern's and the
// replacement's length, then come the pattern, the replacement and the text.
#include <string>

#include "tests/fuzz/FuzzModel.h"
#include "text/TextHelpers.h"

namespace {

std::string Replaced(const std::string& text, const std::string& pattern,
                     const std::string& replacement) {
    if (pattern.empty()) return text;
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, pattern.size(), pattern) == 0) {
            out += replacement;
            i += pattern.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

// The next count bytes of the input (fewer at its end), as a C string would
// read them: up to the first zero byte.
std::string TakeCString(const uint8_t*& data, size_t& size, size_t count) {
    if (count > size) count = size;
    std::string taken(reinterpret_cast<const char*>(data), count);
    data += count;
    size -= count;
    return taken.substr(0, taken.find('\0'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t patternLength = data[0] % 8;
    const size_t replacementLength = data[1] % 16;
    data += 2;
    size -= 2;
    const std::string pattern = TakeCString(data, size, patternLength);
    const std::string replacement = TakeCString(data, size, replacementLength);
    const std::string original(reinterpret_cast<const char*>(data), size);

    Text text;
    fuzz::Expect(text.assign(original.data(), original.size()), "no memory for the text");
    Text& result = ReplaceAll(text, pattern.c_str(), replacement.c_str());

    fuzz::Expect(&result == &text, "ReplaceAll returned another text");
    const std::string expected = Replaced(original, pattern, replacement);
    const std::string actual(text.c_str(), text.size());
    if (actual != expected) {
        fuzz::Fail("replacing", fuzz::Shown(pattern) + " by " + fuzz::Shown(replacement) + " in " +
                                    fuzz::Shown(original) + ": expected " + fuzz::Shown(expected) +
                                    ", got " + fuzz::Shown(actual));
    }
    fuzz::Expect(text.c_str()[text.size()] == '\0', "the result lost its terminator");
    return 0;
}
