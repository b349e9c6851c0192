#pragma once

#include "matrix/records.h"

// An integer basis of the right nullspace of n: the basis vectors are the ROWS of the
// returned matrix (n.columns columns), coprime, none without a positive entry. When n has
// full column rank the result keeps n.columns rows of zeros.
mat* kernel(const mat* n);

// The non-zero rows of m, each divided by the greatest common divisor of its entries; when
// every row is zero, a copy of m. Creates the branch flags when they are requested.
mat* simplify(const mat* m);

// Negates, in place, every row that has a negative entry and no positive one.
void switch_if_all_rows_are_minus_into_plus(mat* m);
