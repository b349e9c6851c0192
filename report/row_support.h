#pragma once

#include "matrix/records.h"

// Small read-only views of one matrix row shared by the report listings and checks.

// Number of non-zero entries among the first columns entries of row.
inline int count_nonzero(const int* row, int columns) {
    int count = 0;
    for (int j = 0; j < columns; ++j)
        if (row[j] != 0) ++count;
    return count;
}

// True when the first columns entries of row are all 0 (also when columns is 0).
inline bool row_is_zero(const int* row, int columns) { return count_nonzero(row, columns) == 0; }

// The coefficient of the list node's column (its 1-based number) in row; 0 for a node whose
// number lies outside the row, so that a list longer than the matrix reads as zeros.
inline int coefficient_of(const int* row, int columns, const enc* node) {
    const int column = node->number - 1;
    return column >= 0 && column < columns ? row[column] : 0;
}
