#pragma once

#include <random>

#include "tests/support/records.h"

// A rows x columns matrix whose entries are non-zero with probability `density`, drawn
// uniformly from [-largest, largest] without 0.
Rows random_rows(std::mt19937& random, int rows, int columns, double density, int largest);

// A dense random stoichiometric matrix: 1 to most_metabolites rows, fewest_reactions to
// most_reactions columns, every entry drawn uniformly from [-largest, largest] (zero included),
// row by row.
Rows random_stoichiometry(std::mt19937& random, int most_metabolites, int fewest_reactions,
                          int most_reactions, int largest);
