#pragma once

#include <cstdint>

#include "matrix/owned_records.h"

// Matrices here are plain row-major arrays of double; their dimensions are passed separately.

// A zero-filled array of count doubles. A count of 0 or less stops with
// the zero-amount message for the label, a failed allocation with the not-enough-memory
// message; both end the program with status 1.
Owned_Array<double> zeroed_doubles(std::int64_t count, const char* label);

// Ordinary least squares of y (n values) on the k regressors in x (n rows of k values), with a
// constant regressor added when with_constant is non-zero. Writes the k (+1) coefficients into
// b, the regressors' first and the constant last, prints them, and returns 0.
int mlr(double* x, int n, int k, double* y, int with_constant, double* b);

// product (m x p) = left (m x n) x right (n x p); product must not overlap the factors.
// Returns 1.
int matmult(double* left, double* right, double* product, int m, int n, int p);

// Inverts in place the n x n matrix whose rows lie row_stride doubles apart (Gauss-Jordan with
// full pivoting). A singular matrix is not detected. Returns 1.
int matinv(double* a, int n, int row_stride);
