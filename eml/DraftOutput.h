// The bytes of a draft, gathered in one large buffer and handed on in big
// pieces: the file sees few writes however the message is put together.
#pragma once

#include <windows.h>

#include <cstddef>

#include "text/HeapBlock.h"
#include "text/RoadFailure.h"

class DraftOutput {
public:
    // Where full buffers go: true when all count bytes were taken.
    using Sink = bool (*)(const char* bytes, size_t count, void* context);

    static constexpr size_t kCapacity = 1280 * 1024;

    DraftOutput(Sink sink, void* context);
    DraftOutput(const DraftOutput&) = delete;
    DraftOutput& operator=(const DraftOutput&) = delete;

    // false when the buffer could not be had; nothing can be written then.
    bool Ready() const { return buffer_ != nullptr; }

    bool Put(const char* bytes, size_t count);
    bool Put(const char* text);
    bool PutByte(char byte) {
        if (used_ == kCapacity && !Flush()) return false;
        buffer_[used_++] = byte;
        return true;
    }

    // Room for count (at most kCapacity) bytes written straight into the
    // buffer; Commit(count) then takes them. Null after a failed write.
    char* Reserve(size_t count);
    void Commit(size_t count) { used_ += count; }

    // Hands the buffered bytes to the sink. Once a write has failed, every
    // later call fails too.
    bool Flush();

private:
    Sink sink_;
    void* context_;
    HeapBlock block_;
    char* buffer_;
    size_t used_ = 0;
    bool failed_ = false;
};

// A DraftOutput sink that writes to a file handle with WriteFile, noting the
// first failed write in failure.
struct FileSink {
    HANDLE file;
    RoadFailure* failure;
    static bool Write(const char* bytes, size_t count, void* context);
};
