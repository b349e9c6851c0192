#pragma once

#include <random>

#include "tests/support/records.h"

// A rows x columns matrix whose entries are non-zero with probability `density`, drawn
// uniformly from [-largest, largest] without 0.
Rows random_rows(std::mt19937& random, int rows, int columns, double density, int largest);
