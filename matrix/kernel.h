#pragma once

#include "matrix/records.h"

// An integer basis of the right nullspace of n: the basis vectors are the ROWS of the
// returned matrix (n.columns columns), coprime, none without a positive entry; a new record
// owned by the caller. When n has full column rank the result keeps n.columns rows of zeros.
mat* kernel(const mat* n);
