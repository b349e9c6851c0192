#include "matrix/products.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>
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

namespace {

// Rows [from, to) of the product a x b into the zero-filled rows of mm, with `sum` (one entry per
// column of the product) to add in; false when an entry or a running sum leaves 32 bits.
//
// The network's matrices are mostly zeros: only products of two non-zero entries are formed.
// Row i of the product gathers, for every non-zero a[i][t] in the order of t, that multiple of
// row t of b, so every entry still adds its terms in the order of t, and the running sum of every
// entry passes the same values as a sum over all t would (zero terms change nothing). Every
// product of two 32-bit numbers fits 64 bits; only a running sum can leave them, and the
// finished entry must fit 32 bits.
bool multiply_rows(const mat* a, const Sparse_Rows& sparse_b, int columns, int from, int to,
                   std::vector<std::int64_t>& sum, mat* mm) {
    for (int i = from; i < to; ++i) {
        const int* row = a->head[i];
        // A row of zeros leaves its zero-filled product row as it is.
        if (std::all_of(row, row + a->columns, [](int x) { return x == 0; })) continue;
        std::fill(sum.begin(), sum.end(), 0);
        for (int t = 0; t < a->columns; ++t) {
            if (row[t] == 0) continue;
            const std::int64_t factor = row[t];
            for (std::size_t e = sparse_b.start[t]; e < sparse_b.start[t + 1]; ++e) {
                std::int64_t& entry = sum[sparse_b.column[e]];
                if (sum_overflows(entry, factor * sparse_b.value[e], entry)) return false;
            }
        }
        for (int k = 0; k < columns; ++k) {
            if (sum[k] == 0) continue;
            if (!fits_int32(sum[k])) return false;
            mm->head[i][k] = static_cast<int>(sum[k]);
        }
    }
    return true;
}

// Rows of a product worth a thread of their own.
constexpr int rows_per_thread = 4096;

}  // namespace

mat* mult_or_null(const mat* a, const mat* b, unsigned threads) {
    if (b->rows != a->columns) {
        printf("error in mult: mat dimensions are incompatible");
        fflush(stdout);
        exit(1);
    }
    Owned_Mat mm(new_mat(a->rows, b->columns, "mm not allocated", "mm->head not allocated",
                         "*(mm->head+i) not allocated"));
    const Sparse_Rows sparse_b(b);
    // The rows of the product are independent: the threads take a share each. Everything they
    // need is allocated here, so that nothing they do can throw.
    const unsigned parts =
        std::max(1u, std::min(threads, static_cast<unsigned>(a->rows / rows_per_thread)));
    std::vector<char> fits(parts, 0);
    std::vector<std::vector<std::int64_t> > sums(
        parts, std::vector<std::int64_t>(static_cast<std::size_t>(std::max(b->columns, 0))));
    const auto multiply_part = [&](unsigned part) {
        const int from = static_cast<int>(std::int64_t(a->rows) * part / parts);
        const int to = static_cast<int>(std::int64_t(a->rows) * (part + 1) / parts);
        fits[part] = multiply_rows(a, sparse_b, b->columns, from, to, sums[part], mm.get());
    };
    std::vector<std::thread> helpers;
    for (unsigned part = 1; part < parts; ++part) helpers.emplace_back(multiply_part, part);
    multiply_part(0);
    for (std::thread& helper : helpers) helper.join();
    if (std::find(fits.begin(), fits.end(), 0) != fits.end()) return nullptr;
    return mm.release();
}

mat* mult(const mat* a, const mat* b, unsigned threads) {
    mat* mm = mult_or_null(a, b, threads);
    if (mm == nullptr) integer_overflow(product_stage);
    return mm;
}
