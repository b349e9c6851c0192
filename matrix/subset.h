#pragma once

#include "matrix/records.h"

// The enzyme subsets of kernel k: one row per subset over the reactions, the member
// reactions' relative fluxes, coprime. Stores a new array of contradiction flags (one per
// subset, 1 when its irreversible reactions carry both signs) in *flags; the caller frees it.
mat* subset(const mat* k, const simple_vector* rev, int** flags);
