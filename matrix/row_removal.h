#pragma once

#include "matrix/records.h"

// Removes row i of m in place.
template <typename T>
void delete_zero_line(basic_mat<T>* m, int i);

// Removes element i of v in place.
void delete_corresponding_row_in_rev(simple_vector* v, int i);
