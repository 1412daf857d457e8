#include "report/LibraryBitness.h"

#include <windows.h>

#include <cstring>

#include "text/WideText.h"
#include "text/WideToUtf8.h"
#include "win32/FileHandle.h"
#include "win32/SharedRead.h"

namespace {

// The DOS header, the "PE\0\0" signature and the COFF header's machine
// field lie within this many bytes of any library built by a linker of
// this century.
constexpr DWORD kHeadBytes = 4096;
constexpr DWORD kNewHeaderOffsetAt = 0x3C;  // e_lfanew in the DOS header

DWORD Little32(const BYTE* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24);
}

}  // namespace

int LibraryBitness(const char* path) {
    WideText wide;
    if (!Utf8ToWide(path, std::strlen(path), wide)) return 0;
    FileHandle file(OpenSharedRead(wide.c_str()));
    if (!file.IsOpen()) return 0;
    BYTE head[kHeadBytes];
    DWORD read = 0;
    if (!ReadFile(file.Get(), head, kHeadBytes, &read, nullptr)) return 0;
    if (read < kNewHeaderOffsetAt + 4 || head[0] != 'M' || head[1] != 'Z') return 0;
    const DWORD pe = Little32(head + kNewHeaderOffsetAt);
    if (pe > read - 6 || Little32(head + pe) != 0x00004550) return 0;  // "PE\0\0"
    switch (head[pe + 4] | (head[pe + 5] << 8)) {
        case 0x014C:  // IMAGE_FILE_MACHINE_I386
        case 0x01C4:  // IMAGE_FILE_MACHINE_ARMNT
            return 32;
        case 0x8664:  // IMAGE_FILE_MACHINE_AMD64
        case 0xAA64:  // IMAGE_FILE_MACHINE_ARM64
            return 64;
        default:
            return 0;
    }
}
