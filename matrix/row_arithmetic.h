#pragma once

#include <cstdint>

#include "matrix/checked_arithmetic.h"
#include "matrix/records.h"

// Row arithmetic shared by the toolkit, the nullspace and the enzyme subsets.

// Greatest common divisor of the absolute values of the entries, formed from the left and
// given up as soon as it is 1; 0 for a row of zeros. Instantiated for int and std::int64_t.
template <typename T>
std::int64_t row_divisor(const T* row, int length);

// Negates every entry of the row in place; an entry whose negation does not fit 32 bits stops
// the run naming the stage.
void negate_row(int* row, int length, const char* stage);

// Greatest common divisor of two non-negative numbers; gcd(a, 0) = a, gcd(0, b) = b.
int gcd(int a, int b);

// Divides every row of m by the greatest common divisor of its entries, in place.
void ggt_matrix(mat* m);
