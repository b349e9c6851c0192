#pragma once

#include "matrix/records.h"

// Matrix product a x b (a.rows x b.columns), a new record owned by the caller, formed in 64 bits;
// a result that does not fit 32 bits stops the run. Incompatible dimensions print their message
// and stop with status 1. Up to `threads` threads form shares of the rows of a large product.
mat* mult(const mat* a, const mat* b, unsigned threads = 1);

// The stage an overflowing product names.
inline constexpr const char* product_stage = "a matrix product";

// mult that leaves the run going when a result does not fit 32 bits: it returns nullptr then, and
// the caller stops the run with integer_overflow(product_stage) where the product's section is.
mat* mult_or_null(const mat* a, const mat* b, unsigned threads = 1);
