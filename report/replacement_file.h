#pragma once

#include <cstdio>
#include <string>

// Opens the file that receives the new content of the file named name. A regular file, or a
// name not taken yet, gets a new temporary file in the same folder, whose path is put into
// temporary_path, with the owner and permissions of the file it is to replace (or those of a new
// file); the caller renames it over name once the content is whole. A device, a pipe or a
// symbolic link, and a name beside which no file can be made (a folder without write
// permission), is opened directly and temporary_path is left empty. Returns nullptr with errno
// set when name cannot be written.
FILE* open_replacement_file(const char* name, std::string& temporary_path);
