#pragma once

#include <cstdio>
#include <string>

// Opens the replacement of the file named name as open_replacement_file does (a temporary file
// beside it, whose path goes into temporary_path, or name itself for a device, a pipe or a
// symbolic link). While the temporary file exists, SIGHUP, SIGINT and SIGTERM remove it before
// they end the program, so that an interrupted run leaves no file beside name. Returns nullptr
// with errno set when name cannot be written.
FILE* open_replacement_removed_on_signal(const char* name, std::string& temporary_path);

// Renames the temporary file over name when keep is set, removes it otherwise, and ends its
// removal on a signal; does nothing for an empty temporary_path. Returns false with errno set
// when the rename fails, after removing the temporary file.
bool finish_replacement(const std::string& temporary_path, const char* name, bool keep);
