#pragma once

#include <memory>

#include "matrix/owned_records.h"
#include "matrix/records.h"
#include "tableau/int_combination.h"
#include "tableau/kestrane_tableau.h"

// The three tableau stages of the run. Each starts with 32-bit coefficients and is computed
// again from its start with wider integers when a row combination overflows; what it returns
// goes into 32-bit report records, and a value that does not fit them stops the run with a
// message naming the report section (status 1).

using Basis_Tableau = Kestrane_Tableau<int, Int_Combination<int> >;

// The convex basis of the reduced system, and the convex-basis tableau it was read from (in
// 32-bit coefficients) for the elementary modes to start from.
struct Reduced_Basis {
    Owned_Mat vectors;  // one row per basis vector over the subsets
    std::unique_ptr<Basis_Tableau> tableau;
};

// Convex basis of the cone {v : R v = 0, v_k >= 0 where srev_k = 1}.
Reduced_Basis reduced_convex_basis(const mat* R, const simple_vector* srev);

// Non-negative conservation relations: the convex basis of {y >= 0 : y Nint = 0}, from the
// transposed internal matrix and a vector marking every metabolite irreversible.
Owned_Mat non_negative_conservation_relations(const mat* Nint_t,
                                              const simple_vector* all_irreversible);

// The elementary modes of the reduced system, started from its convex-basis tableau, sorted by
// their zero/non-zero structure and expanded to reactions by x S.
Owned_Mat expanded_elementary_modes(const Basis_Tableau& basis, const mat* S);
