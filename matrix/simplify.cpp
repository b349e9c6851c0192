#include "matrix/simplify.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "matrix/allocation.h"
#include "matrix/branch.h"
#include "matrix/owned_records.h"
#include "matrix/row_arithmetic.h"
#include "matrix/wide_integers.h"

namespace {

// A new branch vector with one element per row, every row kept until found to be zero.
void create_branch(int rows) {
    branch.reset();  // the old vector goes before the new one is allocated
    branch.reset(new_vector(rows, "branch not allocated", "branch->head not allocated"));
    for (int i = 0; i < rows; ++i) branch->head[i] = 1;
    branch_status = branch_state::present;
}

}  // namespace

template <typename T>
basic_mat<T>* simplify(const basic_mat<T>* m) {
    const int r = m->rows;
    const int c = m->columns;
    // Per row: 1 when it is kept, beside its divisor in the row's own width.
    const Owned_Vector vf(new_vector(r, "vf not allocated", "vf->head not allocated"));
    std::vector<T> divisors(r);
    basic_mat<T>* mc = zero_alloc_array<basic_mat<T> >(1, "mc not allocated");
    mc->rows = r;
    mc->columns = c;
    // A branch vector left over from an earlier request is replaced, so that it always has
    // one element per row of the matrix simplified last.
    if (branch_status != branch_state::absent) create_branch(r);

    for (int i = 0; i < r; ++i) {
        divisors[i] = row_divisor(m->head[i], c);
        vf->head[i] = divisors[i] != 0;
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
        mc->head = zero_alloc_array<T*>(r, "mc->head not allocated (1)");
        for (int i = 0; i < r; ++i) {
            mc->head[i] = zero_values<T>(c, "*(mc->head+i) not allocated");
            for (int o = 0; o < c; ++o) mc->head[i][o] = m->head[i][o];
        }
    } else {
        mc->head = zero_alloc_array<T*>(mc->rows, "mc->head not allocated (2)");
        int k = 0;
        for (int i = 0; i < r; ++i) {
            const T& divisor = divisors[i];
            if (divisor == 0) continue;
            mc->head[k] = zero_values<T>(c, "*(mc->head+k) not allocated");
            for (int o = 0; o < c; ++o) mc->head[k][o] = m->head[i][o] / divisor;
            ++k;
        }
    }
    return mc;
}

template <typename T>
void switch_if_all_rows_are_minus_into_plus(basic_mat<T>* m) {
    for (int i = 0; i < m->rows; ++i) {
        bool positive = false;
        bool negative = false;
        for (int o = 0; o < m->columns && !positive; ++o) {
            positive = m->head[i][o] > 0;
            negative = negative || m->head[i][o] < 0;
        }
        if (!positive && negative) negate_row(m->head[i], m->columns);
    }
}

#define KESTRANE_SIMPLIFY(T)                              \
    template basic_mat<T>* simplify(const basic_mat<T>*); \
    template void switch_if_all_rows_are_minus_into_plus(basic_mat<T>*);
KESTRANE_FOR_EACH_WIDTH(KESTRANE_SIMPLIFY)
