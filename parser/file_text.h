#pragma once

#include <string>

// Reads the whole file named name into text, so that a pipe or a FIFO is read like a regular
// file. Returns false after one message on standard output: "File <name> not found" when the
// file does not exist, else the system's reason why it cannot be read (a folder, no
// permission).
bool read_file_text(const char* name, std::string& text);
