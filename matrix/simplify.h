#pragma once

#include "matrix/records.h"

// The non-zero rows of m, each divided by the greatest common divisor of its entries, as a new
// record owned by the caller; when every row is zero, a copy of m. Creates the branch flags
// (matrix/branch.h) when they are requested.
template <typename T>
basic_mat<T>* simplify(const basic_mat<T>* m);

// Negates, in place, every row that has a negative entry and no positive one.
template <typename T>
void switch_if_all_rows_are_minus_into_plus(basic_mat<T>* m);
