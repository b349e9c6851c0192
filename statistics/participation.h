#pragma once

#include <cstdio>

#include "matrix/records.h"

// Lists every metabolite of the module-level met_counter / metabolites / mets_cumul with its
// number of reactions, the most connected first (ties in row order), its kind looked up by name
// in the metabolite list (head node), and the total; then writes the edge-node regression.
// Sets every listed entry of mets_cumul to 0. Returns 0.
int save_frequency_of_metabolites_in_output(FILE* report, enc* metabolite_list);
