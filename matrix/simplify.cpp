#include "matrix/simplify.h"

#include <cstdint>
#include <cstdio>

#include "matrix/allocation.h"
#include "matrix/branch.h"
#include "matrix/overflow.h"
#include "matrix/owned_records.h"
#include "matrix/row_arithmetic.h"

namespace {

// A new branch vector with one element per row, every row kept until found to be zero.
void create_branch(int rows) {
    branch.reset();  // the old vector goes before the new one is allocated
    branch.reset(new_vector(rows, "branch not allocated", "branch->head not allocated"));
    for (int i = 0; i < rows; ++i) branch->head[i] = 1;
    branch_status = branch_state::present;
}

}  // namespace

mat* simplify(const mat* m) {
    const int r = m->rows;
    const int c = m->columns;
    const Owned_Vector vf(new_vector(r, "vf not allocated", "vf->head not allocated"));
    mat* mc = zero_alloc_array<mat>(1, "mc not allocated");
    mc->rows = r;
    mc->columns = c;
    // A branch vector left over from an earlier request is replaced, so that it always has
    // one element per row of the matrix simplified last.
    if (branch_status != branch_state::absent) create_branch(r);

    for (int i = 0; i < r; ++i) {
        vf->head[i] = fit_int(row_divisor(m->head[i], c), "the row reduction");
        if (vf->head[i] != 0) continue;
        if (branch_status == branch_state::present) branch->head[i] = 0;
        --mc->rows;
    }
    if (branch_status == branch_state::present) {
        printf("\nBranches ");
        for (int i = 0; i < branch->length; ++i) printf("%d", branch->head[i]);
        printf("\n");
    }

    if (mc->rows == 0) {
        // Nothing but zero rows: they are kept as they are, so the caller still sees r rows.
        printf("there is no simplification ...\n");
        mc->rows = r;
        mc->head = zero_alloc_array<int*>(r, "mc->head not allocated (1)");
        for (int i = 0; i < r; ++i) {
            mc->head[i] = zero_alloc_array<int>(c, "*(mc->head+i) not allocated");
            for (int o = 0; o < c; ++o) mc->head[i][o] = m->head[i][o];
        }
    } else {
        mc->head = zero_alloc_array<int*>(mc->rows, "mc->head not allocated (2)");
        int k = 0;
        for (int i = 0; i < r; ++i) {
            const int divisor = vf->head[i];
            if (divisor == 0) continue;
            mc->head[k] = zero_alloc_array<int>(c, "*(mc->head+k) not allocated");
            for (int o = 0; o < c; ++o) mc->head[k][o] = m->head[i][o] / divisor;
            ++k;
        }
    }
    return mc;
}

void switch_if_all_rows_are_minus_into_plus(mat* m) {
    for (int i = 0; i < m->rows; ++i) {
        bool positive = false;
        bool negative = false;
        for (int o = 0; o < m->columns && !positive; ++o) {
            positive = m->head[i][o] > 0;
            negative = negative || m->head[i][o] < 0;
        }
        if (!positive && negative) negate_row(m->head[i], m->columns, "the row orientation");
    }
}
