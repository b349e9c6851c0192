#pragma once

#include <cstdio>

// Writes the edge histogram (entry e: metabolites taking part in exactly e reactions, e from
// 1 to max; entry 0 is ignored) into the report, fits number = A * e^k by least squares on the
// decimal logarithms and writes the law, Pearson's r and its significance. Returns 0.
// max = 0 ends the program with the zero-amount message, status 1.
int save_frequency_of_edges_and_nodes(FILE* report, int* histogram, int max);
