#pragma once

#include "matrix/records.h"

// Removes row i of m in place.
void delete_zero_line(mat* m, int i);

// Removes element i of v in place.
void delete_corresponding_row_in_rev(simple_vector* v, int i);
