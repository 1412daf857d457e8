// A directory listing (FindFirstFileA), closed with FindClose when the scope
// ends.
#pragma once

#include <windows.h>

class FileSearch {
public:
    // Starts listing the files that pattern matches; the first one is in
    // Found() when IsOpen().
    explicit FileSearch(const char* pattern) : handle_(FindFirstFileA(pattern, &found_)) {}
    ~FileSearch() {
        if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
    }
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    const WIN32_FIND_DATAA& Found() const { return found_; }
    // Moves to the next match; false when there is none.
    bool Next() { return FindNextFileA(handle_, &found_) != FALSE; }

private:
    WIN32_FIND_DATAA found_;
    HANDLE handle_;
};
