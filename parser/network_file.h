#pragma once

#include <string>
#include <vector>

#include "parser/coefficient_table.h"

// What the network file reader hands back: the header lines, the names of the four sections in
// file order, and the real coefficients the equations name.
struct network_file {
    std::vector<std::string> header_lines;
    std::vector<std::string> reversible_reactions;
    std::vector<std::string> irreversible_reactions;
    std::vector<std::string> internal_metabolites;
    std::vector<std::string> external_metabolites;
    coefficient_table coefficients;
};
