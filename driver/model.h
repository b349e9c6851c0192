#pragma once

#include <string>
#include <vector>

#include "matrix/records.h"
#include "parser/coefficient_table.h"

// What the network file reader hands back: names in file order and the real coefficients the
// equations name.
struct network_file {
    std::vector<std::string> header_lines;
    std::vector<std::string> reversible_reactions;
    std::vector<std::string> irreversible_reactions;
    std::vector<std::string> internal_metabolites;
    std::vector<std::string> external_metabolites;
    coefficient_table coefficients;
};

// The network model every stage works on. Columns are the irreversible reactions in file
// order, then the reversible ones; rows of N the internal metabolites, then the external ones.
struct network_model {
    std::vector<int> integer_table;  // truncated coefficients; the rows of N point into it
    mat* N = nullptr;                // all metabolites x reactions (rows are views, not copies)
    mat* Nint = nullptr;             // internal metabolites x reactions, copied
    simple_vector* rev = nullptr;    // per reaction, 1 = irreversible
    simple_vector* ext = nullptr;    // per metabolite, 1 = external
    enc* enzymes = nullptr;          // reactions in column order
    enc* metabolite_list = nullptr;  // metabolites in row order of N, with their counts
};

// Module-level values read by the metabolite participation report.
extern int enzyme_counter;                    // number of reactions
extern int met_counter;                       // number of metabolites
extern std::vector<const char*> metabolites;  // names in row order of N (owned by the reader)
extern std::vector<int> mets_cumul;           // reactions each metabolite takes part in

// Builds the model from the reader's results, which must outlive it. A coefficient whose
// integer part does not fit 32 bits is refused with a message naming it as written in the file,
// and status 1; a network with no internal metabolites stops with "The system comprises only
// external metabolites.". The dense tables throw std::bad_alloc when memory runs out.
network_model build_model(const network_file& file);

// Releases the records of the model (N by its record and row pointers only) and the
// module-level arrays.
void release_model(network_model& model);
