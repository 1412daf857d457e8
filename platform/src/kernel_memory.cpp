// IsBadStringPtrA: really probes the memory, page by page, through the
// kernel, which reports an unreadable page as EFAULT instead of faulting.
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

// Copies [address, address + length) into out; false when any byte of it
// cannot be read. length never crosses a page boundary.
bool ReadableCopy(const char* address, size_t length, char* out) {
    iovec local{out, length};
    iovec remote{const_cast<char*>(address), length};
    const ssize_t got = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
    if (got == static_cast<ssize_t>(length)) return true;
    if (got >= 0 || errno == EFAULT) return false;

    // process_vm_readv may be forbidden (seccomp); a pipe write reports an
    // unreadable source the same way.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    bool readable = false;
    ssize_t written;
    do {
        written = write(fds[1], address, length);
    } while (written < 0 && errno == EINTR);
    if (written == static_cast<ssize_t>(length)) {
        readable = read(fds[0], out, length) == static_cast<ssize_t>(length);
    }
    close(fds[0]);
    close(fds[1]);
    return readable;
}

size_t PageSize() {
    static const size_t size = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

}  // namespace

WINBOOL WINAPI IsBadStringPtrA(LPCSTR lpsz, UINT_PTR ucchMax) {
    if (lpsz == nullptr) return TRUE;
    const size_t page = PageSize();
    char chunk[65536];
    const size_t chunkMax = page < sizeof chunk ? page : sizeof chunk;
    uintptr_t address = reinterpret_cast<uintptr_t>(lpsz);
    UINT_PTR left = ucchMax;
    while (left > 0) {
        // Up to the end of the page, the end of the range, or the chunk.
        size_t length = page - address % page;
        if (length > chunkMax) length = chunkMax;
        if (length > left) length = static_cast<size_t>(left);
        if (!ReadableCopy(reinterpret_cast<const char*>(address), length, chunk)) return TRUE;
        if (std::memchr(chunk, '\0', length) != nullptr) return FALSE;
        address += length;
        left -= length;
    }
    return FALSE;
}
