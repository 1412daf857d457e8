// Whether a path names a file the send dialog could attach: one per
// platform (ReadableFilePosix.cpp natively, win/ReadableFile.cpp in the DLL).
#pragma once

namespace mailsim {

// True when `path` names a regular file that can be opened for reading.
// Never waits on a FIFO or device.
bool IsReadableRegularFile(const char* path);

}  // namespace mailsim
