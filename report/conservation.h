#pragma once

#include <cstdio>

#include "matrix/records.h"
#include "matrix/wide_mat.h"

// Writes every row of C (conservation relations over the internal metabolites named by the list,
// column by column) as an equation "label :\t... = const". Writes nothing when C is all zero.
void crel_equation_output(FILE* file, Wide_View C, const enc* metabolites);
