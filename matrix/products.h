#pragma once

#include "matrix/records.h"

// Matrix product a x b (a.rows x b.columns), a new record owned by the caller, formed in 64 bits;
// a result that does not fit 32 bits stops the run. Incompatible dimensions print their message
// and stop with status 1.
mat* mult(const mat* a, const mat* b);
