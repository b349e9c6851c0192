#include "matrix/products.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "matrix/escalation.h"
#include "matrix/owned_records.h"
#include "matrix/thread_start.h"

namespace {

// The non-zero entries of every row of a matrix, row after row: row t's entries are
// [start[t], start[t + 1]) of column and value.
template <typename T>
struct Sparse_Rows {
    std::vector<std::size_t> start;
    std::vector<int> column;
    std::vector<T> value;

    explicit Sparse_Rows(const basic_mat<T>* m) : start(static_cast<std::size_t>(m->rows) + 1, 0) {
        for (int t = 0; t < m->rows; ++t) {
            const T* row = m->head[t];
            for (int k = 0; k < m->columns; ++k) {
                if (row[k] == 0) continue;
                column.push_back(k);
                value.push_back(row[k]);
            }
            start[t + 1] = column.size();
        }
    }
};

// The running sums of a product of width T: twice as wide where a wider type exists, so that
// every product of two entries fits and only the sums need a check.
template <typename T>
struct Running_Sum {
    using type = T;
};
template <>
struct Running_Sum<int> {
    using type = std::int64_t;
};
template <>
struct Running_Sum<std::int64_t> {
    using type = Int128;
};

// sum += x * y; false when the product or the sum leaves the running sum's range.
template <typename Sum, typename T>
bool add_product(Sum& sum, const T& x, const T& y) {
    if constexpr (!is_bounded<T>) {
#ifdef KESTRANE_HAVE_GMP
        mpz_addmul(sum.get_mpz_t(), x.get_mpz_t(), y.get_mpz_t());
#endif
        return true;
    } else if constexpr (sizeof(Sum) > sizeof(T)) {
        return !sum_overflows(sum, Sum(x) * Sum(y), sum);
    } else {
        Sum product;
        return !product_overflows(Sum(x), Sum(y), product) && !sum_overflows(sum, product, sum);
    }
}

// Rows [from, to) of the product a x b into the zero-filled rows of mm, with `sum` (one entry per
// column of the product) to add in; false when an entry or a running sum leaves width T.
//
// The network's matrices are mostly zeros: only products of two non-zero entries are formed.
// Row i of the product gathers, for every non-zero a[i][t] in the order of t, that multiple of
// row t of b, so every entry still adds its terms in the order of t, and the running sum of every
// entry passes the same values as a sum over all t would (zero terms change nothing).
template <typename T, typename Sum>
bool multiply_rows(const basic_mat<T>* a, const Sparse_Rows<T>& sparse_b, int columns, int from,
                   int to, std::vector<Sum>& sum, basic_mat<T>* mm) {
    for (int i = from; i < to; ++i) {
        const T* row = a->head[i];
        // A row of zeros leaves its zero-filled product row as it is.
        if (std::all_of(row, row + a->columns, [](const T& x) { return x == 0; })) continue;
        std::fill(sum.begin(), sum.end(), Sum(0));
        for (int t = 0; t < a->columns; ++t) {
            if (row[t] == 0) continue;
            for (std::size_t e = sparse_b.start[t]; e < sparse_b.start[t + 1]; ++e) {
                if (!add_product(sum[sparse_b.column[e]], row[t], sparse_b.value[e])) return false;
            }
        }
        for (int k = 0; k < columns; ++k) {
            if (sum[k] == 0) continue;
            if (!fits<T>(sum[k])) return false;
            mm->head[i][k] = converted<T>(sum[k]);
        }
    }
    return true;
}

// Rows of a product worth a thread of their own.
constexpr int rows_per_thread = 4096;

}  // namespace

template <typename T>
basic_mat<T>* mult_or_null(const basic_mat<T>* a, const basic_mat<T>* b, unsigned threads) {
    if (b->rows != a->columns) {
        printf("error in mult: mat dimensions are incompatible");
        fflush(stdout);
        exit(1);
    }
    using Sum = typename Running_Sum<T>::type;
    Owned_Basic_Mat<T> mm(new_mat<T>(a->rows, b->columns, "mm not allocated",
                                     "mm->head not allocated", "*(mm->head+i) not allocated"));
    const Sparse_Rows<T> sparse_b(b);
    // The rows of the product are independent: the threads take a share each. Everything they
    // need is allocated here, so that nothing they do can throw.
    const unsigned parts =
        std::max(1u, std::min(threads, static_cast<unsigned>(a->rows / rows_per_thread)));
    std::vector<char> fits_width(parts, 0);
    std::vector<std::vector<Sum> > sums(
        parts, std::vector<Sum>(static_cast<std::size_t>(std::max(b->columns, 0))));
    const auto multiply_part = [&](unsigned part) {
        const int from = static_cast<int>(std::int64_t(a->rows) * part / parts);
        const int to = static_cast<int>(std::int64_t(a->rows) * (part + 1) / parts);
        fits_width[part] = multiply_rows(a, sparse_b, b->columns, from, to, sums[part], mm.get());
    };
    std::vector<std::thread> helpers;
    std::vector<unsigned> own_parts{0};  // those no thread could be started for, too
    for (unsigned part = 1; part < parts; ++part) {
        if (!start_thread(helpers, [&multiply_part, part] { multiply_part(part); }))
            own_parts.push_back(part);
    }
    for (unsigned part : own_parts) multiply_part(part);
    for (std::thread& helper : helpers) helper.join();
    if (std::find(fits_width.begin(), fits_width.end(), 0) != fits_width.end()) return nullptr;
    return mm.release();
}

Wide_Mat mult(Wide_View a, Wide_View b, unsigned threads) {
    return escalate(std::max(a.width(), b.width()), [&](auto width) {
        using T = typename decltype(width)::type;
        Owned_Basic_Mat<T> a_copy;
        Owned_Basic_Mat<T> b_copy;
        Owned_Basic_Mat<T> product(mult_or_null(at_width(a, a_copy), at_width(b, b_copy), threads));
        if (product == nullptr) throw Range_Error();
        return narrowest(std::move(product));
    });
}

#define KESTRANE_PRODUCTS(T) \
    template basic_mat<T>* mult_or_null(const basic_mat<T>*, const basic_mat<T>*, unsigned);
KESTRANE_FOR_EACH_WIDTH(KESTRANE_PRODUCTS)
