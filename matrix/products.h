#pragma once

#include "matrix/records.h"
#include "matrix/wide_mat.h"

// Matrix product a x b (a.rows x b.columns), a new record owned by the caller. It is formed in
// the wider of the two operands' widths and, when an entry does not fit that width, again in
// the next wider one, so that every entry is exact; the result is kept in the narrowest width
// that holds it. Value_Too_Large when an entry does not fit even the widest width of this build.
// Incompatible dimensions print their message and stop with status 1. Up to `threads` threads
// form shares of the rows of a large product.
Wide_Mat mult(Wide_View a, Wide_View b, unsigned threads = 1);

// a x b in width T alone: nullptr when an entry or a running sum does not fit T.
template <typename T>
basic_mat<T>* mult_or_null(const basic_mat<T>* a, const basic_mat<T>* b, unsigned threads = 1);
