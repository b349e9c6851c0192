#include "matrix/kernel.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "matrix/overflow.h"
#include "matrix/row_arithmetic.h"
#include "matrix/toolkit.h"

namespace {

const char* const kStage = "the kernel";

// fb x x - fa x y in 64 bits; a result outside +-(2^63 - 1) stops the run.
std::int64_t combine(std::int64_t fb, std::int64_t x, std::int64_t fa, std::int64_t y) {
    std::int64_t left = 0;
    std::int64_t right = 0;
    std::int64_t result = 0;
    if (product_overflows(fb, x, left) || product_overflows(fa, y, right) ||
        difference_overflows(left, right, result))
        integer_overflow(kStage);
    return result;
}

// Clears column d of row g of t with the pivot row e: row g becomes the pivot's coefficient
// times row g minus row g's coefficient times the pivot row (both coefficients reduced by their
// common divisor), then is divided by the common divisor of its entries. The products are
// formed in work, 64 bits wide, so that only a reduced entry beyond 32 bits stops the run.
void eliminate(mat* t, int e, int g, int d, std::vector<std::int64_t>& work) {
    const std::int64_t a = t->head[g][d];
    const std::int64_t b = t->head[e][d];
    const std::int64_t q = common_divisor(a, b);
    const std::int64_t fa = a / q;
    const std::int64_t fb = b / q;
    for (int c = 0; c < t->columns; ++c) work[c] = combine(fb, t->head[g][c], fa, t->head[e][c]);
    const std::int64_t divisor = std::max<std::int64_t>(row_divisor(work.data(), t->columns), 1);
    for (int c = 0; c < t->columns; ++c) t->head[g][c] = fit_int(work[c] / divisor, kStage);
}

}  // namespace

mat* kernel(const mat* n) {
    mat* nt = transp(n);
    mat* t = addi(nt);
    freemat(nt);

    // Row j of t is column j of n beside the unit vector j; eliminating the left part column by
    // column leaves, in the rows that never serve as pivot, nullspace vectors in the right part.
    const int m = n->rows;
    std::vector<std::int64_t> work(t->columns);
    for (int d = 0; d < m; ++d) {
        int e = 0;
        while (e < t->rows && t->head[e][d] == 0) ++e;
        if (e == t->rows) continue;
        for (int g = e + 1; g < t->rows; ++g)
            if (t->head[g][d] != 0) eliminate(t, e, g, d, work);
        std::fill(t->head[e], t->head[e] + t->columns, 0);
    }

    mat* k = cutcol(t, m);
    freemat(t);
    mat* r = simplify(k);
    freemat(k);
    switch_if_all_rows_are_minus_into_plus(r);
    return r;
}
