#pragma once

#include <istream>
#include <string>
#include <vector>

#include "parser/coefficient_table.h"

// Reads the network file: the header lines, the four name lists in file order and the
// coefficients of the equations. The whole file is read into memory first, so that a pipe or a
// FIFO reads like a regular file. The lists are appended to, the table replaced. Returns 0 when
// every section and equation was read, after the warnings about declarations the equations
// cannot fill; 1 after a message on standard output.
int parser(const char* file_name, std::vector<std::string>& header_lines,
           std::vector<std::string>& reversible_reactions,
           std::vector<std::string>& irreversible_reactions,
           std::vector<std::string>& internal_metabolites,
           std::vector<std::string>& external_metabolites, coefficient_table& coefficients);

// Reads the text of a network file like parser, without the warnings about declarations;
// reactions_with_equation receives one flag per reaction column (irreversible reactions first)
// once the equations are read.
int parse_network_text(const std::string& text, std::vector<std::string>& header_lines,
                       std::vector<std::string>& reversible_reactions,
                       std::vector<std::string>& irreversible_reactions,
                       std::vector<std::string>& internal_metabolites,
                       std::vector<std::string>& external_metabolites,
                       coefficient_table& coefficients, std::vector<bool>& reactions_with_equation);

// Appends whole lines (without line ends) to the list until a line contains the key; that line
// is dropped. Returns 0 after it, or -1 with the "part is not found" message at the stream's end.
int read_string_until(std::vector<std::string>& list, const char* key, std::istream& stream);

// Appends white-space separated words to the list until a word contains the key; that word is
// dropped and the stream stays just behind it. Returns 0, or -1 with the message at the end.
int read_word_until(std::vector<std::string>& list, const char* key, std::istream& stream);
