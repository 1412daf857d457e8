// A kernel file handle, closed when the scope ends.
#pragma once

#include <windows.h>

class FileHandle {
public:
    FileHandle() : handle_(INVALID_HANDLE_VALUE) {}
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    // Closes early; false when the system reports the close failed (for a
    // written file, data may then be lost).
    bool Close() {
        if (handle_ == INVALID_HANDLE_VALUE) return true;
        const bool closed = CloseHandle(handle_) != FALSE;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

    // Closes what it holds and holds handle instead.
    void Reset(HANDLE handle) {
        Close();
        handle_ = handle;
    }

private:
    HANDLE handle_;
};
