#include "ReadableFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mailsim {

bool IsReadableRegularFile(const char* path) {
    if (path == nullptr || *path == '\0') return false;
    // Non-blocking so that a FIFO without a writer is refused, not waited for.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    close(fd);
    return regular;
}

}  // namespace mailsim
