#pragma once

#include <string>

#include "import/network.h"

// The text of the network file: header lines that state the rules of the conversion and list
// what it changed, the reversible and irreversible reactions, the internal and external
// metabolites, and one equation per reaction, all in the network's order.
std::string network_text(const converted_network& network);

// Writes the text into the file named name through a temporary file beside it, which replaces
// it only when the whole text is written, so that a failed run leaves no network file (a
// device, a pipe or a symbolic link is written directly). Throws an import_error with the
// system's reason when it cannot be written.
void write_network_file(const char* name, const std::string& text);
