#pragma once

#include <string>
#include <vector>

// Reads the network file: the header lines, the four name lists in file order and the
// coefficient table (metabolites x reactions, row by row; internal then external metabolites,
// irreversible then reversible reactions). The lists are appended to, the table replaced.
// Returns 0 when every section and equation was read, 1 after a message on standard output.
int parser(const char* file_name, std::vector<std::string>& header_lines,
           std::vector<std::string>& reversible_reactions,
           std::vector<std::string>& irreversible_reactions,
           std::vector<std::string>& internal_metabolites,
           std::vector<std::string>& external_metabolites, std::vector<double>& coefficients);
