#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <utility>

// One coefficient of an equation: its value with the sign of its side (consumed metabolites
// negative), and the token that gave it as written in the file (empty for the implied 1).
struct read_coefficient {
    double value = 0.0;
    std::string written;

    friend bool operator==(const read_coefficient&, const read_coefficient&) = default;
};

// The coefficients the equations name, keyed by (metabolite row, reaction column): rows count
// the internal metabolites, then the external ones; columns the irreversible reactions, then
// the reversible ones. Every entry not held is 0. The table grows with the equations, not with
// the product of the numbers of names, so that a file declaring many names costs no more than
// its text before the network is built.
using coefficient_table = std::map<std::pair<std::size_t, std::size_t>, read_coefficient>;
