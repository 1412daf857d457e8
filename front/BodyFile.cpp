#include "front/BodyFile.h"

#include <windows.h>

#include <cstdlib>

#include "win32/FileHandle.h"
#include "win32/SharedRead.h"

namespace {

// Bytes asked of each ReadFile.
constexpr size_t kReadChunk = 64 * 1024;

// Heap bytes that grow by doubling, released when the scope ends.
class GrowingBuffer {
public:
    GrowingBuffer() = default;
    GrowingBuffer(const GrowingBuffer&) = delete;
    GrowingBuffer& operator=(const GrowingBuffer&) = delete;
    ~GrowingBuffer() { std::free(data_); }
    char* Data() const { return data_; }
    // Makes room for at least room bytes, and at most most.
    bool Reserve(size_t room, size_t most) {
        if (room <= capacity_) return true;
        size_t grown = capacity_ * 2 > room ? capacity_ * 2 : room;
        if (grown > most) grown = most;
        char* moved = static_cast<char*>(std::realloc(data_, grown));
        if (moved == nullptr) return false;
        data_ = moved;
        capacity_ = grown;
        return true;
    }

private:
    char* data_ = nullptr;
    size_t capacity_ = 0;
};

}  // namespace

bool ReadBodyFile(const char* path, Text& body, BodyFileFacts& facts, UINT codePage, Text* exact,
                  const WCHAR* widePath) {
    facts = BodyFileFacts();
    // Shared for writing as well, like an attachment: a log that another
    // program still writes can be sent as it stands.
    FileHandle file(widePath != nullptr ? OpenSharedRead(widePath) : OpenSharedRead(path));
    if (!file.IsOpen()) {
        facts.error = GetLastError();
        facts.refusal = "it cannot be opened";
        return false;
    }

    // Read to the end rather than trust a reported size: a pipe or device has
    // none, and a file being written grows. One byte past the limit is enough
    // to refuse, so no more is ever read.
    const size_t most = kBodyFileLimit + 1;
    GrowingBuffer buffer;
    size_t size = 0;
    for (;;) {
        const size_t want = most - size < kReadChunk ? most - size : kReadChunk;
        if (!buffer.Reserve(size + want, most)) {
            facts.refusal = "there is not enough memory for it";
            return false;
        }
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer.Data() + size, static_cast<DWORD>(want), &got, nullptr)) {
            facts.error = GetLastError();
            facts.refusal = "it cannot be read";
            return false;
        }
        if (got == 0) break;
        size += got;
        if (size > kBodyFileLimit) {
            facts.refusal = "it is larger than 16 MiB";
            return false;
        }
    }
    return DecodeBodyText(buffer.Data(), size, body, facts, codePage, exact);
}
