#include "matrix/products.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "matrix/overflow.h"
#include "matrix/owned_records.h"

namespace {

// The non-zero entries of every row of a matrix, row after row: row t's entries are
// [start[t], start[t + 1]) of column and value.
struct Sparse_Rows {
    std::vector<std::size_t> start;
    std::vector<int> column;
    std::vector<int> value;

    explicit Sparse_Rows(const mat* m) : start(static_cast<std::size_t>(m->rows) + 1, 0) {
        for (int t = 0; t < m->rows; ++t) {
            const int* row = m->head[t];
            for (int k = 0; k < m->columns; ++k) {
                if (row[k] == 0) continue;
                column.push_back(k);
                value.push_back(row[k]);
            }
            start[t + 1] = column.size();
        }
    }
};

}  // namespace

mat* mult_or_null(const mat* a, const mat* b) {
    if (b->rows != a->columns) {
        printf("error in mult: mat dimensions are incompatible");
        fflush(stdout);
        exit(1);
    }
    Owned_Mat mm(new_mat(a->rows, b->columns, "mm not allocated", "mm->head not allocated",
                         "*(mm->head+i) not allocated"));
    // The network's matrices are mostly zeros: only products of two non-zero entries are formed.
    // Row i of the product gathers, for every non-zero a[i][t] in the order of t, that multiple
    // of row t of b, so every entry still adds its terms in the order of t, and the running sum
    // of every entry passes the same values as a sum over all t would (zero terms change
    // nothing). Every product of two 32-bit numbers fits 64 bits; only a running sum can leave
    // them, and the finished entry must fit 32 bits.
    const Sparse_Rows sparse_b(b);
    std::vector<std::int64_t> sum(static_cast<std::size_t>(b->columns > 0 ? b->columns : 0));
    for (int i = 0; i < a->rows; ++i) {
        const int* row = a->head[i];
        // A row of zeros leaves its zero-filled product row as it is.
        if (std::all_of(row, row + a->columns, [](int x) { return x == 0; })) continue;
        std::fill(sum.begin(), sum.end(), 0);
        for (int t = 0; t < a->columns; ++t) {
            if (row[t] == 0) continue;
            const std::int64_t factor = row[t];
            for (std::size_t e = sparse_b.start[t]; e < sparse_b.start[t + 1]; ++e) {
                std::int64_t& entry = sum[sparse_b.column[e]];
                if (sum_overflows(entry, factor * sparse_b.value[e], entry)) return nullptr;
            }
        }
        for (int k = 0; k < b->columns; ++k) {
            if (sum[k] == 0) continue;
            if (!fits_int32(sum[k])) return nullptr;
            mm->head[i][k] = static_cast<int>(sum[k]);
        }
    }
    return mm.release();
}

mat* mult(const mat* a, const mat* b) {
    mat* mm = mult_or_null(a, b);
    if (mm == nullptr) integer_overflow(product_stage);
    return mm;
}
