#pragma once

#include <cstdio>

#include "matrix/records.h"
#include "matrix/wide_mat.h"

// The listings that present matrices, flag vectors, overall reactions and branch point
// metabolites in the report (modes as reactions: report/enzyme_listing.h). None changes the
// records it prints; the values of a record of any width are written as their decimal digits.

// Writes the dimension line and the rows of m that are not all zero, then flushes. Returns the
// number of rows written; a matrix without such a row writes nothing and gives 0.
int fmatoutput(Wide_View m, FILE* file);

// Writes the caption of the reversibility flags and the flags of v on one line.
void fvectoroutput(const simple_vector* v, FILE* file);

// Lists every row of m (modes x metabolites) as the overall reaction consumed = produced.
void foveralloutput(Wide_View m, const enc* metabolites, FILE* file);

// Lists the metabolites flagged in branch (one flag per data node of the list, from its start;
// may be null, which flags nothing), then the others, with their consumption, production and
// reaction counts.
void fout_branches(FILE* file, const simple_vector* branch, const enc* metabolites);
