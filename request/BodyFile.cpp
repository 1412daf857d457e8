#include "request/BodyFile.h"

#include <windows.h>

#include "win32/FileHandle.h"
#include "win32/SharedRead.h"

namespace {

// Bytes asked of each ReadFile.
constexpr DWORD kReadChunk = 64 * 1024;

}  // namespace

bool ReadBodyFile(const WCHAR* path, Text& body, BodyFileFacts& facts, Text* exact, UINT codePage) {
    facts = BodyFileFacts();
    // Shared for writing as well, like an attachment: a log that another
    // program still writes can be sent as it stands.
    RoadFailure why;
    FileHandle file(OpenSharedRead(path, &why));
    if (!file.IsOpen()) {
        facts.call = why.call;
        facts.error = why.code;
        facts.refusal = why.refusal != nullptr ? why.refusal : "it cannot be opened";
        return false;
    }

    // Read to the end rather than trust a reported size: a pipe or device has
    // none, and a file being written grows. One byte past the limit is enough
    // to refuse, so no more is ever read.
    Text bytes;
    // The size the file has now, as a first guess: room in one piece.
    LARGE_INTEGER size;
    if (GetFileSizeEx(file.Get(), &size) && size.QuadPart > 0) {
        bytes.reserve(static_cast<ULONGLONG>(size.QuadPart) < kBodyFileLimit
                          ? static_cast<size_t>(size.QuadPart)
                          : kBodyFileLimit + 1);
    }
    char chunk[kReadChunk];
    for (;;) {
        const size_t most = kBodyFileLimit + 1 - bytes.size();
        const DWORD want = most < kReadChunk ? static_cast<DWORD>(most) : kReadChunk;
        DWORD got = 0;
        if (!ReadFile(file.Get(), chunk, want, &got, nullptr)) {
            facts.call = "ReadFile";
            facts.error = GetLastError();
            facts.refusal = "it cannot be read";
            return false;
        }
        if (got == 0) break;
        if (!bytes.append(chunk, got)) {
            facts.refusal = "there is not enough memory for it";
            return false;
        }
        if (bytes.size() > kBodyFileLimit) {
            facts.refusal = "it is larger than 16 MiB";
            return false;
        }
    }
    return DecodeBodyText(static_cast<Text&&>(bytes), body, facts, codePage, exact);
}
