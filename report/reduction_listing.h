#pragma once

#include <cstdio>
#include <vector>

#include "matrix/records.h"
#include "matrix/wide_mat.h"

// Listings of the reduction of the network to its subsets.

// Names every cancelled subset (0-based numbers in the order of cancelling, as
// cancel_contradictory_subsets returns them) on standard output and in the report.
void fcancelled_subsets(FILE* report, const std::vector<int>& cancelled);

// The reduced system R with the reversibility flags of its columns (srev) and the branch point
// listing of the internal metabolites flagged in branch, named by the metabolite list.
void freduced_system(FILE* report, Wide_View R, const simple_vector* srev,
                     const simple_vector* branch, const enc* metabolite_list);
