#pragma once

#include "matrix/records.h"
#include "matrix/wide_mat.h"

// The enzyme subsets of kernel k: one row per subset over the reactions, the member
// reactions' relative fluxes, coprime, in the narrowest width that holds them. Stores a new
// array of contradiction flags (one per subset, 1 when its irreversible reactions carry both
// signs) in *flags; the caller frees it.
Wide_Mat subset(Wide_View k, const simple_vector* rev, int** flags);
