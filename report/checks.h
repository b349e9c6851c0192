#pragma once

#include <cstdio>

#include "matrix/records.h"

// Checks on the stoichiometric matrix and on mode matrices, written to standard output and the
// report. Neither changes its inputs.

// Names the internal metabolites (rows of N, named by the list in order) that take part in
// exactly one reaction: they cannot be balanced in a steady state.
void unbalanced_internal_mets(const mat* N, FILE* file, const enc* metabolites);

// Reports the pairs of rows of M (modes over reactions named by the enzyme list) whose reaction
// sets are equal or contained in one another, and names the reactions used by no row.
void control_modi(const mat* M, FILE* file, const enc* enzymes);
