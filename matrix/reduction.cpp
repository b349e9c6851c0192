#include "matrix/reduction.h"

#include <cstdio>
#include <utility>

#include "matrix/allocation.h"
#include "matrix/branch.h"
#include "matrix/products.h"
#include "matrix/reshape.h"
#include "matrix/row_removal.h"
#include "matrix/simplify.h"

namespace {

// With every subset cancelled no flux can run: the reduced system has neither reactions nor
// branch point metabolites, and the tableaux built on it find no convex basis. The branch
// flags, all 0, let the branch listing name every internal metabolite as no branch point.
Reduced_System empty_reduced_system(int internal_metabolites) {
    Reduced_System system;
    system.R.reset(zero_alloc_array<mat>(1, "mc not allocated"));
    system.branch.reset(
        new_vector(internal_metabolites, "branch not allocated", "branch->head not allocated"));
    printf("\nBranches ");
    for (int i = 0; i < system.branch->length; ++i) printf("%d", system.branch->head[i]);
    printf("\n");
    return system;
}

}  // namespace

std::vector<int> cancel_contradictory_subsets(mat* S, simple_vector* srev, const int* flags) {
    // From the last subset to the first, so that the numbers still to be visited stay valid.
    std::vector<int> cancelled;
    for (int i = S->rows - 1; i >= 0; --i) {
        if (flags[i] != 1) continue;
        cancelled.push_back(i);
        for (int j = 0; j < S->columns; ++j) S->head[i][j] = 0;
        delete_zero_line(S, i);
        delete_corresponding_row_in_rev(srev, i);
    }
    return cancelled;
}

Reduced_System reduced_system(const mat* Nint, const mat* S) {
    if (S->rows == 0) return empty_reduced_system(Nint->rows);
    Owned_Mat R0;
    {
        const Owned_Mat S_t(transp(S));
        R0.reset(mult(Nint, S_t.get()));
    }
    // simplify creates the branch flags of the rows it keeps when they are requested; they are
    // taken over here, which returns the module-level flags to their absent state.
    request_branch();
    Reduced_System system;
    system.R.reset(simplify(R0.get()));
    system.branch = std::move(branch);
    release_branch();
    return system;
}
