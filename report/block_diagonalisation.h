#pragma once

#include <cstdio>

#include "matrix/records.h"
#include "matrix/wide_mat.h"

// Groups the reactions (columns of M) into the blocks of a block-diagonal integer nullspace basis
// of M and lists them block by block in the report; reactions without nullspace entries come last
// under a block header of their own. Stores in *table_holder a new zero-filled (r+1)*(r+1) table
// in which entry t*r + o is t + 1 when reaction o (0-based) lies in block t (1-based); the caller
// releases it with free(). With full column rank only a console line is written, the report gets
// "\n" and the table stays zero. M and the lists are not changed. The elimination works in 64
// bits and, where a value leaves them, again wider.
void block_diagonalisation(int** table_holder, FILE* report, Wide_View M, const enc* enzyme_list,
                           const enc* metabolite_list);
