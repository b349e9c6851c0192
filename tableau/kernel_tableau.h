#pragma once

#include "tableau/kestrane_tableau.h"
#include "tableau/tableau.h"

// Tableau of the elementary-mode iteration, built from a convex-basis tableau after its convex
// basis has been computed: its rows start as the basis vectors (reaction part only).
class Kernel_Tableau : public Tableau<int, Int_Combination<int> > {
   public:
    explicit Kernel_Tableau(const Kestrane_Tableau<int, Int_Combination<int> >& k)
        : Tableau<int, Int_Combination<int> >(k) {}
};
