#pragma once

#include <memory>

#include "matrix/records.h"
#include "matrix/wide_integers.h"
#include "matrix/wide_mat.h"
#include "tableau/int_combination.h"
#include "tableau/kestrane_tableau.h"

// The three tableau stages of the run. Each starts with the narrowest coefficients its input
// allows (32 bits for every network whose reduced system fits them) and is computed again from
// its start with wider integers when a row combination overflows; what it returns is kept in the
// narrowest width that holds it. Value_Too_Large when even the widest width of this build
// overflows.

template <typename T>
using Owned_Basis_Tableau = std::unique_ptr<Kestrane_Tableau<T, Int_Combination<T> > >;

// A convex-basis tableau of any width.
using Basis_Tableau = Per_Width<Owned_Basis_Tableau>::type;

// The convex basis of the reduced system, and the convex-basis tableau it was read from, in the
// narrowest coefficients that hold the basis, for the elementary modes to start from.
struct Reduced_Basis {
    Wide_Mat vectors;  // one row per basis vector over the subsets
    Basis_Tableau tableau;
};

// Convex basis of the cone {v : R v = 0, v_k >= 0 where srev_k = 1}.
Reduced_Basis reduced_convex_basis(Wide_View R, const simple_vector* srev);

// Non-negative conservation relations: the convex basis of {y >= 0 : y Nint = 0}, from the
// transposed internal matrix and a vector marking every metabolite irreversible.
Wide_Mat non_negative_conservation_relations(const mat* Nint_t,
                                             const simple_vector* all_irreversible);

// The elementary modes of the reduced system, started from its convex-basis tableau in that
// tableau's width, sorted by their zero/non-zero structure and expanded to reactions by x S.
Wide_Mat expanded_elementary_modes(const Basis_Tableau& basis, Wide_View S);
