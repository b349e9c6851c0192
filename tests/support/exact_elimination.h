#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/support/records.h"

// Reference eliminations over the integers, independent of the toolkit, for checking its
// results: exact ranks, nullspaces and determinants of small matrices.

using Exact_Vector = std::vector<std::int64_t>;
using Exact_Matrix = std::vector<Exact_Vector>;

Exact_Matrix widened(const Rows& rows);

// Greatest common divisor of the magnitudes of the entries; 0 for a zero vector.
std::int64_t common_factor(const Exact_Vector& v);

// Divides v by its common factor, in place.
void divide_by_common_factor(Exact_Vector& v);

// Rank of a by fraction-free elimination with row exchanges, rows kept divided by their common
// factors (128-bit intermediates). Where asked, `independent_rows` receives the indices of that
// many linearly independent rows of a.
std::size_t exact_rank(const Exact_Matrix& a, std::vector<std::size_t>* independent_rows = nullptr);

// Determinant of a square matrix by Bareiss elimination.
std::int64_t exact_determinant(Exact_Matrix a);

// Integer basis of {x : a x = 0} for a matrix with n columns, by fraction-free Gauss-Jordan
// elimination: one basis vector per free column, divided by its common factor.
Exact_Matrix exact_nullspace(Exact_Matrix a, std::size_t n);
