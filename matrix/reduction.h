#pragma once

#include <vector>

#include "matrix/owned_records.h"
#include "matrix/records.h"
#include "matrix/wide_mat.h"

// Cancels, in place, every subset whose contradiction flag is 1 (flags: one per row of S, as
// subset gives them): its row leaves S and its flag leaves srev. Returns the 0-based numbers of
// the cancelled subsets in the order of cancelling, the last subset first; they are the
// subsets' numbers in the listing made before the cancelling.
std::vector<int> cancel_contradictory_subsets(Wide_Mat& S, simple_vector* srev, const int* flags);

// The reduced system of the subsets: the branch point metabolites x the subsets.
struct Reduced_System {
    Wide_Mat R;           // Nint x transp(S) without its zero rows
    Owned_Vector branch;  // per internal metabolite (row of Nint): 1 = branch point, kept in R
};

// R = Nint x transp(S) without its zero rows, and the branch flags of the rows of Nint; the
// flags are printed on standard output ("Branches ..."). With no subset left (S without rows)
// R has no rows and no columns and every flag is 0.
Reduced_System reduced_system(const mat* Nint, Wide_View S);
