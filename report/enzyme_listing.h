#pragma once

#include <cstdio>

#include "matrix/records.h"
#include "matrix/wide_mat.h"

// Calls of fenzymeoutput so far in this run (module-level). The fourth listing of a run, that of
// the elementary modes, is the first to carry reaction counts and block tags.
extern int fenzymeoutput_calls;

// Lists every row of m as its reactions with coefficients, labelled by row number; rows naming
// no reaction are left out. From the fourth call of the run on, each row also carries its count
// of reactions and the tags of the blocks those reactions lie in, read from block_table
// ((r + 1) x (r + 1) for r = m.columns; may be null). Returns m.rows.
int fenzymeoutput(Wide_View m, const enc* enzymes, FILE* file, const int* block_table);
