#pragma once

#include "matrix/records.h"
#include "matrix/wide_mat.h"

// An integer basis of the right nullspace of n: the basis vectors are the ROWS of the
// returned matrix (n.columns columns), coprime, none without a positive entry; a new record
// owned by the caller, in the narrowest width that holds its values. When n has full column rank
// the result keeps n.columns rows of zeros. The elimination runs in 64 bits and, where a value
// leaves them, again wider (Value_Too_Large past the widest width of this build).
Wide_Mat kernel(const mat* n);
