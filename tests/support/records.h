#pragma once

#include <string>
#include <vector>

#include "matrix/owned_records.h"
#include "matrix/records.h"

// Records built from and read back into plain vectors, for the tests.

using Rows = std::vector<std::vector<int>>;

// A matrix holding the given rows (all of the same length, at least one).
Owned_Mat make_mat(const Rows& rows);

// A matrix record without rows, as a stage that found nothing returns it.
Owned_Mat make_rowless_mat(int columns);

// A vector holding the values (at least one).
Owned_Vector make_vector(const std::vector<int>& values);

Rows rows_of(const mat* m);
std::vector<int> values_of(const simple_vector* v);

// Appends a data node before the tail of the list and returns it.
enc* append_node(enc* list);

// A name list with one data node per name, numbered 1, 2, ... in order.
Owned_List make_list(const std::vector<std::string>& names);
