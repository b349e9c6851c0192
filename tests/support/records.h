#pragma once

#include <string>
#include <vector>

#include "matrix/owned_records.h"
#include "matrix/records.h"
#include "matrix/wide_mat.h"

// Records built from and read back into plain vectors, for the tests.

using Rows = std::vector<std::vector<int>>;

// A matrix holding the given rows (all of the same length, at least one).
Owned_Mat make_mat(const Rows& rows);

// A matrix record without rows, as a stage that found nothing returns it.
Owned_Mat make_rowless_mat(int columns);

// A vector holding the values (at least one).
Owned_Vector make_vector(const std::vector<int>& values);

// The rows of a record that holds 32-bit values; a test failure (and those values cut to 32 bits)
// for a wider record.
Rows rows_of(Wide_View m);

// The rows of a record of any width, each value as its decimal digits.
using Digit_Rows = std::vector<std::vector<std::string>>;
Digit_Rows digits_of(Wide_View m);

// A record holding the values given by their decimal digits (rows of the same length, at least
// one), in the narrowest width that holds them.
Wide_Mat wide_mat_of(const Digit_Rows& rows);
std::vector<int> values_of(const simple_vector* v);

// Appends a data node before the tail of the list and returns it.
enc* append_node(enc* list);

// A name list with one data node per name, numbered 1, 2, ... in order.
Owned_List make_list(const std::vector<std::string>& names);
