#pragma once

#include <cstdio>
#include <utility>
#include <vector>

#include "matrix/records.h"
#include "matrix/wide_mat.h"

// Checks on the stoichiometric matrix and on mode matrices, written to standard output and the
// report. Neither changes its inputs.

// Names the internal metabolites (rows of N, named by the list in order) that take part in
// exactly one reaction: they cannot be balanced in a steady state.
void unbalanced_internal_mets(const mat* N, FILE* file, const enc* metabolites);

// Reports the pairs of rows of M (modes over reactions named by the enzyme list) whose reaction
// sets are equal or contained in one another, and names the reactions used by no row.
void control_modi(Wide_View M, FILE* file, const enc* enzymes);

// control_modi with the nested pairs of M's rows already found: nested_support_pairs(M), which
// may run beside other work since it only reads M.
void control_modi(Wide_View M, FILE* file, const enc* enzymes,
                  const std::vector<std::pair<int, int> >& nested);
