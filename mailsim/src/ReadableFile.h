// Whether a path names a file the send dialog could attach, asked of Win32
// as a mail client would (natively of the platform stand-in), so that an
// ANSI path names the file the program's own CreateFileA names.
#pragma once

namespace mailsim {

// True when `path` names a regular file that can be opened for reading.
// Never waits on a FIFO or device.
bool IsReadableRegularFile(const char* path);

}  // namespace mailsim
