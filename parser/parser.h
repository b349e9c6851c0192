#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "parser/network_file.h"

// Reads the network file: the header lines, the four name lists in file order and the
// coefficients of the equations. The whole file is read into memory first, so that a pipe or a
// FIFO reads like a regular file. Returns the file's contents when every section and equation
// was read, after the warnings about declarations the equations cannot fill; nothing after a
// message on standard output.
std::optional<network_file> parser(const char* file_name);

// Reads the text of a network file like parser, without the warnings about declarations, into
// `file`: the lists are appended to, the table replaced. reactions_with_equation receives one
// flag per reaction column (irreversible reactions first) once the equations are read. Returns
// 0, or 1 after a message on standard output (what was read so far stays in `file`).
int parse_network_text(const std::string& text, network_file& file,
                       std::vector<bool>& reactions_with_equation);

// Appends whole lines (without line ends) to the list until a line contains the key; that line
// is dropped. Returns 0 after it, or -1 with the "part is not found" message at the stream's end.
int read_string_until(std::vector<std::string>& list, const char* key, std::istream& stream);

// Appends white-space separated words to the list until a word contains the key; that word is
// dropped and the stream stays just behind it. Returns 0, or -1 with the message at the end.
int read_word_until(std::vector<std::string>& list, const char* key, std::istream& stream);
