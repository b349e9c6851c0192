#include "matrix/reduction.h"

#include <algorithm>
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
    system.R = Owned_Mat(zero_alloc_array<mat>(1, "mc not allocated"));
    system.branch.reset(
        new_vector(internal_metabolites, "branch not allocated", "branch->head not allocated"));
    printf("\nBranches ");
    for (int i = 0; i < system.branch->length; ++i) printf("%d", system.branch->head[i]);
    printf("\n");
    return system;
}

}  // namespace

std::vector<int> cancel_contradictory_subsets(Wide_Mat& S, simple_vector* srev, const int* flags) {
    return S.visit([&](auto* s) {
        // From the last subset to the first, so that the numbers still to be visited stay valid.
        std::vector<int> cancelled;
        for (int i = s->rows - 1; i >= 0; --i) {
            if (flags[i] != 1) continue;
            cancelled.push_back(i);
            std::fill(s->head[i], s->head[i] + s->columns, 0);
            delete_zero_line(s, i);
            delete_corresponding_row_in_rev(srev, i);
        }
        return cancelled;
    });
}

Reduced_System reduced_system(const mat* Nint, Wide_View S) {
    if (S.rows() == 0) return empty_reduced_system(Nint->rows);
    const Wide_Mat R0 = S.visit([&](const auto* s) {
        const auto S_t = owned(transp(s));
        return mult(Nint, S_t.get());
    });
    // simplify creates the branch flags of the rows it keeps when they are requested; they are
    // taken over here, which returns the module-level flags to their absent state.
    request_branch();
    Reduced_System system;
    system.R = R0.visit([](const auto* r0) { return Wide_Mat(owned(simplify(r0))); });
    system.branch = std::move(branch);
    release_branch();
    return system;
}
