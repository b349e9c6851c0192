#include "matrix/subset.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "matrix/allocation.h"
#include "matrix/kernel.h"
#include "matrix/overflow.h"
#include "matrix/row_arithmetic.h"
#include "matrix/toolkit.h"

namespace {

const char* const kStage = "the enzyme subsets";

// Row d of the reaction table holds reaction d's k kernel coefficients, then its unit vector.
// The coefficients are divided by their common divisor and signed so that the first non-zero
// one is positive; the factor taken out, with its sign, replaces the unit entry. A reaction
// without flux in every kernel vector gets a zero row.
void normalise_reaction(int* row, int k, int width, int d) {
    const std::int64_t divisor = row_divisor(row, k);
    if (divisor == 0) {
        std::fill(row, row + width, 0);
        return;
    }
    const int* first = std::find_if(row, row + k, [](int x) { return x != 0; });
    const std::int64_t sign = *first > 0 ? 1 : -1;
    for (int c = 0; c < k; ++c) row[c] = fit_int(sign * row[c] / divisor, kStage);
    row[k + d] = fit_int(divisor * sign, kStage);
}

// Reactions with equal normalised coefficients form one subset: the factors of the later
// reaction g join those of the earlier reaction e, and row g is cleared.
void merge_equal_reactions(mat* t, int k) {
    for (int e = 0; e < t->rows; ++e) {
        for (int g = e + 1; g < t->rows; ++g) {
            if (!std::equal(t->head[e], t->head[e] + k, t->head[g])) continue;
            for (int c = k; c < t->columns; ++c)
                t->head[e][c] =
                    fit_int(static_cast<std::int64_t>(t->head[e][c]) + t->head[g][c], kStage);
            std::fill(t->head[g], t->head[g] + t->columns, 0);
        }
    }
}

// Turns the subset so that its first irreversible reaction runs forwards; returns 1 when an
// irreversible reaction still runs backwards (the subset contradicts its constraints).
int orient_subset(int* row, int columns, const simple_vector* rev) {
    for (int t = 0; t < columns; ++t) {
        if (rev->head[t] != 0 && row[t] < 0) {
            negate_row(row, columns, kStage);
            break;
        }
    }
    for (int t = 0; t < columns; ++t)
        if (rev->head[t] != 0 && row[t] < 0) return 1;
    return 0;
}

}  // namespace

mat* subset(const mat* k, const simple_vector* rev, int** flags) {
    if (rev->length < k->columns) {
        printf("error in subset: %d reversibility flags for %d reactions\n", rev->length,
               k->columns);
        fflush(stdout);
        exit(1);
    }
    mat* kt = transp(k);
    mat* t = addi(kt);
    freemat(kt);
    for (int d = 0; d < t->rows; ++d) normalise_reaction(t->head[d], k->rows, t->columns, d);
    merge_equal_reactions(t, k->rows);

    mat* u = cutcol(t, k->rows);
    freemat(t);
    mat* s = simplify(u);
    freemat(u);

    int* contradiction = zero_alloc_array<int>(s->rows, "wrong_subset not enough memory");
    for (int o = 0; o < s->rows; ++o) contradiction[o] = orient_subset(s->head[o], s->columns, rev);
    switch_if_all_rows_are_minus_into_plus(s);
    *flags = contradiction;
    return s;
}
