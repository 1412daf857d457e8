// Attachment display names against a model of the runtime's path splitting:
// a drive is the first two characters when the second is ':', the directory
// runs to the last '\' or '/', the extension from the last '.' after it, and
// the name lies between. The display name is name and extension, formed only
// when both are there, neither exceeds the runtime's 255-character parts and
// together they fit the 260-byte buffer with a terminator; otherwise the
// buffer is left as it was. The fuzzer's bytes up to a zero byte are the path.
#include <cstring>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzModel.h"
#include "text/TextHelpers.h"

namespace {

const size_t kRuntimePartMax = 255;
const unsigned char kUntouched = 0xA5;

// The display name the path should give, or false when it gives none.
bool ExpectedDisplayName(const std::string& path, std::string& displayName) {
    std::string rest = path;
    if (path.size() >= 2 && path[1] == ':') rest = path.substr(2);
    const size_t separator = rest.find_last_of("\\/");
    const std::string file = separator == std::string::npos ? rest : rest.substr(separator + 1);
    const size_t dot = file.rfind('.');
    const std::string name = dot == std::string::npos ? file : file.substr(0, dot);
    const std::string ext = dot == std::string::npos ? std::string() : file.substr(dot);
    if (name.empty() || ext.empty()) return false;
    if (name.size() > kRuntimePartMax || ext.size() > kRuntimePartMax) return false;
    if (name.size() + ext.size() + 1 > 260) return false;
    displayName = name + ext;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::PiecesBetweenZeros(data, size).front();
    // Exactly the documented size on the heap, so a write past it is caught.
    std::vector<unsigned char> out(kDisplayNameSize, kUntouched);

    const bool accepted = AttachmentDisplayName(path.c_str(), reinterpret_cast<char*>(out.data()));
    fuzz::Expect(accepted, "a path was refused");

    const bool untouched = out == std::vector<unsigned char>(kDisplayNameSize, kUntouched);
    std::string expected;
    if (ExpectedDisplayName(path, expected)) {
        if (untouched) fuzz::Fail("no display name was formed for", fuzz::Shown(path));
        const unsigned char* end =
            static_cast<const unsigned char*>(std::memchr(out.data(), 0, out.size()));
        if (end == nullptr) fuzz::Fail("display name without terminator for", fuzz::Shown(path));
        fuzz::ExpectSame(expected,
                         std::string(reinterpret_cast<const char*>(out.data()),
                                     static_cast<size_t>(end - out.data())),
                         "display name");
    } else {
        if (!untouched) fuzz::Fail("a display name was formed for", fuzz::Shown(path));
    }

    std::vector<unsigned char> unused(kDisplayNameSize, kUntouched);
    fuzz::Expect(!AttachmentDisplayName(nullptr, reinterpret_cast<char*>(unused.data())),
                 "a null path was accepted");
    fuzz::Expect(unused == std::vector<unsigned char>(kDisplayNameSize, kUntouched),
                 "a null path wrote to the buffer");
    return 0;
}
