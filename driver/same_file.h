#pragma once

// True when input names a regular file and output names that same file (same device and
// inode), in whatever spelling: "./x", an absolute path, a symbolic or a hard link. An output
// that does not exist yet is never the input.
bool names_same_file(const char* input, const char* output);
