#include "parser/file_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool cannot_read(const char* name, int error) {
    if (error == ENOENT)
        printf("File %s not found\n", name);
    else
        printf("File %s cannot be read: %s\n", name, strerror(error));
    return false;
}

}  // namespace

bool read_file_text(const char* name, std::string& text) {
    const int fd = open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return cannot_read(name, errno);
    struct stat status {};
    // A folder opens for reading on most systems; only reading it fails.
    if (fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        close(fd);
        return cannot_read(name, EISDIR);
    }
    text.clear();
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            close(fd);
            return cannot_read(name, error);
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    close(fd);
    return true;
}
