#include "report/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

FILE* open_replacement_file(const char* name, std::string& temporary_path) {
    temporary_path.clear();
    struct stat status {};
    const bool exists = lstat(name, &status) == 0;
    if (exists ? !S_ISREG(status.st_mode) : errno != ENOENT) return fopen(name, "w");

    mode_t mode = 0;
    if (exists) {
        // The file itself must be writable, as when it is overwritten in place.
        const int fd = open(name, O_WRONLY | O_CLOEXEC);
        if (fd < 0) return nullptr;
        close(fd);
        mode = status.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }

    std::string path = std::string(name) + ".XXXXXX";
    const int fd = mkstemp(path.data());
    // No file can be made beside name (a folder without write permission, a name too long for a
    // suffix): it is written in place.
    if (fd < 0) return fopen(name, "w");
    // The file keeps the owner and the permissions it had, or gets those of a new file. Where
    // the owner cannot be kept, set-user and set-group bits are not passed on to the new one.
    const bool same_owner = !exists || fchown(fd, status.st_uid, status.st_gid) == 0;
    fchmod(fd, same_owner ? mode : mode & 0777);
    FILE* stream = fdopen(fd, "w");
    if (stream == nullptr) {
        const int error = errno;
        close(fd);
        unlink(path.c_str());
        errno = error;
        return nullptr;
    }
    temporary_path = path;
    return stream;
}
