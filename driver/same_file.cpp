#include "driver/same_file.h"

#include <sys/stat.h>

bool names_same_file(const char* input, const char* output) {
    struct stat in {};
    struct stat out {};
    // Only a regular input can be destroyed by writing the report over it; a terminal or a pipe
    // may well be named twice, as /dev/stdin and /dev/stdout.
    if (stat(input, &in) != 0 || !S_ISREG(in.st_mode)) return false;
    if (stat(output, &out) != 0) return false;
    return in.st_dev == out.st_dev && in.st_ino == out.st_ino;
}
