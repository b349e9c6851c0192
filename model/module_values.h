#pragma once

#include <vector>

// Module-level values of the network model, set by build_model and read by the metabolite
// participation report.
extern int enzyme_counter;                    // number of reactions
extern int met_counter;                       // number of metabolites
extern std::vector<const char*> metabolites;  // names in row order of N (owned by the reader)
extern std::vector<int> mets_cumul;           // reactions each metabolite takes part in
