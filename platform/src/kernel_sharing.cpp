#include "kernel_sharing.h"

#include <map>
#include <mutex>

namespace {

// What a handle may do, in the share mode's own bits.
constexpr DWORD kRead = FILE_SHARE_READ, kWrite = FILE_SHARE_WRITE, kDelete = FILE_SHARE_DELETE;

DWORD Uses(DWORD access) {
    DWORD uses = 0;
    if (access & (GENERIC_READ | GENERIC_ALL)) uses |= kRead;
    if (access & (GENERIC_WRITE | FILE_APPEND_DATA | GENERIC_ALL)) uses |= kWrite;
    if (access & (DELETE | GENERIC_ALL)) uses |= kDelete;
    return uses;
}

struct Opened {
    dev_t dev;
    ino_t inode;
    DWORD uses;
    DWORD share;
};

std::mutex mutex;
std::map<int, Opened> opened;  // by descriptor

}  // namespace

bool ShareOpen(int fd, dev_t dev, ino_t inode, DWORD access, DWORD share) {
    const DWORD uses = Uses(access);
    std::lock_guard<std::mutex> lock(mutex);
    for (const auto& [other, entry] : opened) {
        if (entry.dev != dev || entry.inode != inode) continue;
        if ((uses & ~entry.share) != 0 || (entry.uses & ~share) != 0) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return false;
        }
    }
    opened[fd] = Opened{dev, inode, uses, share};
    return true;
}

void ShareClose(int fd) {
    std::lock_guard<std::mutex> lock(mutex);
    opened.erase(fd);
}

bool ShareAllowsDelete(dev_t dev, ino_t inode) {
    std::lock_guard<std::mutex> lock(mutex);
    for (const auto& [fd, entry] : opened) {
        if (entry.dev == dev && entry.inode == inode && (entry.share & kDelete) == 0) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return false;
        }
    }
    return true;
}
