#pragma once

#include "matrix/records.h"

// Small read-only views of one matrix row of any width shared by the report listings and checks.

// Number of non-zero entries among the first columns entries of row.
template <typename T>
int count_nonzero(const T* row, int columns) {
    int count = 0;
    for (int j = 0; j < columns; ++j)
        if (row[j] != 0) ++count;
    return count;
}

// True when the first columns entries of row are all 0 (also when columns is 0).
template <typename T>
bool row_is_zero(const T* row, int columns) {
    for (int j = 0; j < columns; ++j)
        if (row[j] != 0) return false;
    return true;
}

// The coefficient of the list node's column (its 1-based number) in row; null for a node whose
// number lies outside the row, so that a list longer than the matrix reads as zeros.
template <typename T>
const T* coefficient_of(const T* row, int columns, const enc* node) {
    const int column = node->number - 1;
    return column >= 0 && column < columns ? row + column : nullptr;
}
