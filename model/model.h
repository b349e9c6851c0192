#pragma once

#include <vector>

#include "matrix/owned_records.h"
#include "parser/network_file.h"

// The network model every stage works on. Columns are the irreversible reactions in file
// order, then the reversible ones; rows of N the internal metabolites, then the external ones.
// The records are owned by the model and released with it.
struct network_model {
    std::vector<int> integer_table;  // truncated coefficients; the rows of N point into it
    Owned_Reference_Mat N;           // all metabolites x reactions (rows are views, not copies)
    Owned_Mat Nint;                  // internal metabolites x reactions, copied
    Owned_Vector rev;                // per reaction, 1 = irreversible
    Owned_Vector ext;                // per metabolite, 1 = external
    Owned_List enzymes;              // reactions in column order
    Owned_List metabolite_list;      // metabolites in row order of N, with their counts
};

// Builds the model from the reader's results, which must outlive it, and sets the module-level
// values (model/module_values.h). A coefficient whose integer part does not fit 32 bits is
// refused with a message naming it as written in the file, and status 1; a network with no
// internal metabolites stops with "The system comprises only external metabolites.". The dense
// tables throw std::bad_alloc when memory runs out.
network_model build_model(const network_file& file);
