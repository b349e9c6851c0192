#pragma once

#include <cstdio>

#include "matrix/records.h"

// Cancels every subset flagged as contradictory, from the last to the first, with its
// messages on standard output and in the report: the row leaves S and its flag leaves srev.
void cancel_contradictory_subsets(FILE* report, mat* S, simple_vector* srev, const int* flags);

// The reduced system R = Nint x transp(S) without its zero rows (the branch point
// metabolites), written into the report with srev and the branch point listing. New record;
// with no subset left it has no rows and no columns.
mat* reduced_system(FILE* report, const mat* Nint, const mat* S, const simple_vector* srev,
                    const enc* metabolite_list);
