#pragma once

#include <cstdint>

#include "matrix/checked_arithmetic.h"
#include "matrix/records.h"
#include "matrix/wide_integers.h"

// Row arithmetic shared by the toolkit, the nullspace and the enzyme subsets.

// Greatest common divisor of the absolute values of the entries, formed from the left and
// given up as soon as it is 1; 0 for a row of zeros. The entries lie in the symmetric range of
// their width, so the divisor fits it.
template <typename T>
T row_divisor(const T* row, int length);

// Negates every entry of the row in place; Range_Error for an entry whose negation does not fit
// its width (only the most negative value of a record read from the network file).
template <typename T>
void negate_row(T* row, int length);

// Greatest common divisor of two non-negative numbers; gcd(a, 0) = a, gcd(0, b) = b.
int gcd(int a, int b);

// Divides every row of m by the greatest common divisor of its entries, in place; a row with an
// entry of magnitude 1 stays as it is.
template <typename T>
void ggt_matrix(basic_mat<T>* m);
