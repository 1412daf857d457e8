#include "eml/AttachmentPart.h"

#include "eml/Base64.h"
#include "text/HeapBlock.h"

static_assert(Base64LinesSize(kAttachmentChunk) <= DraftOutput::kCapacity,
              "a chunk's encoding must fit the output buffer");

namespace {

// Fills buffer unless the file ends first: base64 groups must not be cut
// mid-file by a short read.
bool ReadChunk(HANDLE file, unsigned char* buffer, size_t& got, RoadFailure* failure) {
    got = 0;
    while (got < kAttachmentChunk) {
        DWORD read = 0;
        if (ReadFile(file, buffer + got, static_cast<DWORD>(kAttachmentChunk - got), &read,
                     nullptr) == FALSE) {
            NoteCall(failure, "ReadFile", RoadFailure::Code::Win32, GetLastError());
            return false;
        }
        if (read == 0) break;
        got += read;
    }
    return true;
}

}  // namespace

bool WriteBase64File(DraftOutput& out, HANDLE file, unsigned long long& bytes,
                     RoadFailure* failure) {
    bytes = 0;
    HeapBlock block(kAttachmentChunk);
    unsigned char* buffer = static_cast<unsigned char*>(block.get());
    if (buffer == nullptr) {
        NoteRefusal(failure, "out of memory");
        return false;
    }
    for (;;) {
        size_t got = 0;
        if (!ReadChunk(file, buffer, got, failure)) return false;
        if (got == 0) return true;
        char* space = out.Reserve(Base64LinesSize(got));
        if (space == nullptr) return false;
        out.Commit(EncodeBase64Lines(buffer, got, space));
        bytes += got;
        if (got < kAttachmentChunk) return true;
    }
}
