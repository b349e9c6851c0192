#pragma once

#include "matrix/records.h"

// Flag vectors, new records owned by the caller.

// The flag of every data node of the list, in list order.
simple_vector* getrev(const enc* list);

// Per row of s: 1 when it has a non-zero entry in a column whose rev flag is non-zero.
template <typename T>
simple_vector* subrev(const basic_mat<T>* s, const simple_vector* rev);
