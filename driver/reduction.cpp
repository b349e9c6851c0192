#include "driver/reduction.h"

#include "matrix/allocation.h"
#include "matrix/branch.h"
#include "matrix/kernel.h"
#include "matrix/toolkit.h"
#include "report/listings.h"

namespace {

// With every subset cancelled no flux can run: the reduced system has neither reactions nor
// branch point metabolites, and the tableaux built on it find no convex basis. The branch
// flags, all 0, let the branch listing name every internal metabolite as no branch point.
mat* empty_reduced_system(int internal_metabolites) {
    mat* R = zero_alloc_array<mat>(1, "mc not allocated");
    branch = new_vector(internal_metabolites, "branch not allocated", "branch->head not allocated");
    branch_status = branch_state::present;
    printf("\nBranches ");
    for (int i = 0; i < branch->length; ++i) printf("%d", branch->head[i]);
    printf("\n");
    return R;
}

}  // namespace

void cancel_contradictory_subsets(FILE* report, mat* S, simple_vector* srev, const int* flags) {
    // From the last subset to the first, so that the numbers still to be visited stay valid
    // and every message names the subset's number in the subsets listing.
    for (int i = S->rows - 1; i >= 0; --i) {
        if (flags[i] != 1) continue;
        printf(
            "\n!!! Subset %d with contradictory irreversibility constraints, please check "
            "your model.\n",
            i + 1);
        printf("    Enzymes of that subset are cancelled for the further calculations.\n");
        printf("\r                  \r");
        fprintf(report,
                "\n!!! Subset %d with contradictory irreversibility constraints, please check "
                "your model.\n",
                i + 1);
        fprintf(report, "    Enzymes of that subset are cancelled for further calculations.\n");
        for (int j = 0; j < S->columns; ++j) S->head[i][j] = 0;
        delete_zero_line(S, i);
        delete_corresponding_row_in_rev(srev, i);
    }
}

mat* reduced_system(FILE* report, const mat* Nint, const mat* S, const simple_vector* srev,
                    const enc* metabolite_list) {
    mat* R = nullptr;
    if (S->rows == 0) {
        R = empty_reduced_system(Nint->rows);
    } else {
        mat* S_t = transp(S);
        mat* R0 = mult(Nint, S_t);
        freemat(S_t);
        request_branch();
        R = simplify(R0);
        freemat(R0);
    }
    fprintf(report, "\nREDUCED SYSTEM with %d branch point metabolites in %d reactions (columns)\n",
            R->rows, R->columns);
    fflush(report);
    if (fmatoutput(R, report) != 0) fvectoroutput(srev, report);
    fout_branches(report, metabolite_list);
    release_branch();
    fflush(report);
    return R;
}
