// Windows' share modes between the stand-in's own handles: an open that asks
// for an access another handle of the same file does not share, or that does
// not share an access another handle holds, fails. Across processes the
// stand-in, like POSIX, enforces none.
#pragma once

#include <windows.h>

#include <sys/types.h>

// Records fd (open on the file dev/inode) with its access and share mode;
// false, with ERROR_SHARING_VIOLATION set and nothing recorded, on a clash.
bool ShareOpen(int fd, dev_t dev, ino_t inode, DWORD access, DWORD share);
// Forgets fd.
void ShareClose(int fd);
// Whether every handle of the file shares deletion, as DeleteFile needs;
// false with ERROR_SHARING_VIOLATION set when one does not.
bool ShareAllowsDelete(dev_t dev, ino_t inode);
