// mailtoprobe's WinMain against a model of what it must print and return for
// whatever the mailto command key holds: a missing key or one without a
// default value gives -1 and no output; a value of more than 1024 bytes
// gives -1 and no output; any other value, of any type, gives 0 and its bytes
// up to the first zero byte, never more than the bytes stored.
//
// Input: byte 0 chooses what is installed (bits 0-1: missing key, key
// without value, a string stored with its terminator, raw bytes; bit 2: the
// data is repeated to the length in bytes 5-6), bytes 1-4 are the value's
// type, the rest is the data.
#include <windows.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform_registry_testing.h"
#include "tests/fuzz/FuzzModel.h"

namespace {

const char kMailtoCommand[] = "mailto\\shell\\open\\command";
const size_t kProbeBufferSize = 1024;

enum How { kMissingKey, kKeyWithoutValue, kString, kBytes };

struct Expected {
    int result;
    std::string output;
};

// Standard output goes to an in-memory file that is emptied before each run.
int capturedOutput = -1;

std::string RunProbe(int& result) {
    std::fflush(stdout);
    fuzz::Expect(ftruncate(capturedOutput, 0) == 0, "cannot empty the captured output");
    result = WinMain(nullptr, nullptr, const_cast<LPSTR>(""), 10);
    std::fflush(stdout);
    const off_t size = lseek(capturedOutput, 0, SEEK_END);
    std::string output(static_cast<size_t>(size), '\0');
    fuzz::Expect(pread(capturedOutput, &output[0], output.size(), 0) == size,
                 "cannot read the captured output");
    return output;
}

uint32_t LittleEndian(const uint8_t* bytes, size_t count) {
    uint32_t value = 0;
    for (size_t i = count; i > 0; --i) value = (value << 8) | bytes[i - 1];
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const int file = memfd_create("mailtoprobe-output", 0);
    fuzz::Expect(file >= 0 && dup2(file, STDOUT_FILENO) == STDOUT_FILENO,
                 "cannot capture standard output");
    close(file);
    // Appending: whatever stdio believes its position to be, writes after
    // emptying start at the beginning.
    fcntl(STDOUT_FILENO, F_SETFL, fcntl(STDOUT_FILENO, F_GETFL) | O_APPEND);
    capturedOutput = STDOUT_FILENO;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 7) return 0;
    const How how = static_cast<How>(data[0] & 3);
    const bool repeated = (data[0] & 4) != 0;
    const DWORD type = LittleEndian(data + 1, 4);
    const size_t repeatedLength = LittleEndian(data + 5, 2) % 2048;
    std::string bytes(reinterpret_cast<const char*>(data + 7), size - 7);
    if (repeated && !bytes.empty()) {
        std::string longBytes;
        while (longBytes.size() < repeatedLength) longBytes += bytes;
        bytes = longBytes.substr(0, repeatedLength);
    }

    Expected expected{-1, ""};
    switch (how) {
        case kMissingKey:
            PlatformRegistryInstallMissingKey(kMailtoCommand);
            break;
        case kKeyWithoutValue:
            PlatformRegistryInstallKeyWithoutValue(kMailtoCommand);
            break;
        case kString:
            bytes = bytes.substr(0, bytes.find('\0'));
            PlatformRegistryInstallString(kMailtoCommand, type, bytes.c_str());
            bytes += '\0';  // the way the value is stored
            break;
        case kBytes:
            PlatformRegistryInstallValue(kMailtoCommand, type, bytes.data(),
                                         static_cast<DWORD>(bytes.size()));
            break;
    }
    if ((how == kString || how == kBytes) && bytes.size() <= kProbeBufferSize) {
        expected = Expected{0, bytes.substr(0, bytes.find('\0'))};
    }

    int result = 0;
    const std::string output = RunProbe(result);
    PlatformRegistryClearInstalled();

    if (result != expected.result) {
        fuzz::Fail("exit code",
                   std::to_string(result) + " instead of " + std::to_string(expected.result));
    }
    fuzz::ExpectSame(expected.output, output, "output");
    fuzz::Expect(PlatformRegistryOpenKeyCount() == 0, "a key was left open");
    return 0;
}
