#include "eml/DraftOutput.h"

#include <cstring>

DraftOutput::DraftOutput(Sink sink, void* context)
    : sink_(sink),
      context_(context),
      block_(kCapacity),
      buffer_(static_cast<char*>(block_.get())) {}

bool DraftOutput::Put(const char* bytes, size_t count) {
    while (count > 0) {
        if (used_ == kCapacity && !Flush()) return false;
        const size_t room = kCapacity - used_;
        const size_t piece = count < room ? count : room;
        std::memcpy(buffer_ + used_, bytes, piece);
        used_ += piece;
        bytes += piece;
        count -= piece;
    }
    return !failed_;
}

bool DraftOutput::Put(const char* text) {
    return Put(text, std::strlen(text));
}

char* DraftOutput::Reserve(size_t count) {
    if (count > kCapacity) return nullptr;
    if (kCapacity - used_ < count && !Flush()) return nullptr;
    return failed_ ? nullptr : buffer_ + used_;
}

bool DraftOutput::Flush() {
    if (failed_ || buffer_ == nullptr) return false;
    if (used_ != 0 && !sink_(buffer_, used_, context_)) failed_ = true;
    used_ = 0;
    return !failed_;
}

bool FileSink::Write(const char* bytes, size_t count, void* context) {
    const FileSink& sink = *static_cast<const FileSink*>(context);
    DWORD written = 0;
    // count never exceeds DraftOutput::kCapacity, so it fits a DWORD.
    if (WriteFile(sink.file, bytes, static_cast<DWORD>(count), &written, nullptr) == FALSE) {
        NoteCall(sink.failure, "WriteFile", RoadFailure::Code::Win32, GetLastError());
        return false;
    }
    // A disk file takes a write whole unless it has no room left.
    if (written != count) {
        NoteCall(sink.failure, "WriteFile", RoadFailure::Code::Win32, ERROR_DISK_FULL);
        return false;
    }
    return true;
}
