#include "tests/support/exact_elimination.h"

#include <algorithm>
#include <numeric>

#include "matrix/checked_arithmetic.h"

namespace {

// The first row from `first` on with a non-zero entry in column c, or m.size() when there is
// none.
template <typename Row>
std::size_t pivot_row(const std::vector<Row>& m, std::size_t first, std::size_t c) {
    while (first < m.size() && m[first][c] == 0) ++first;
    return first;
}

}  // namespace

Exact_Matrix widened(const Rows& rows) {
    Exact_Matrix m;
    for (const auto& row : rows) m.emplace_back(row.begin(), row.end());
    return m;
}

std::int64_t common_factor(const Exact_Vector& v) {
    std::int64_t g = 0;
    for (std::int64_t x : v) g = std::gcd(g, x < 0 ? -x : x);
    return g;
}

void divide_by_common_factor(Exact_Vector& v) {
    const std::int64_t g = common_factor(v);
    if (g > 1)
        for (auto& x : v) x /= g;
}

std::size_t exact_rank(const Exact_Matrix& a, std::vector<std::size_t>* independent_rows) {
    const std::size_t columns = a.empty() ? 0 : a[0].size();
    std::vector<std::vector<__int128>> m;
    for (const auto& row : a) m.emplace_back(row.begin(), row.end());
    std::vector<std::size_t> origin(m.size());
    std::iota(origin.begin(), origin.end(), 0);
    std::size_t rank = 0;
    for (std::size_t c = 0; c < columns && rank < m.size(); ++c) {
        const std::size_t p = pivot_row(m, rank, c);
        if (p == m.size()) continue;
        std::swap(m[p], m[rank]);
        std::swap(origin[p], origin[rank]);
        // Each later row becomes a multiple of itself minus a multiple of the pivot row, so the
        // pivot rows stay multiples of their original rows plus earlier pivot rows.
        for (std::size_t i = rank + 1; i < m.size(); ++i) {
            if (m[i][c] == 0) continue;
            const __int128 f = m[i][c];
            const __int128 g = m[rank][c];
            __int128 divisor = 0;
            for (std::size_t k = 0; k < columns; ++k) {
                m[i][k] = m[i][k] * g - m[rank][k] * f;
                divisor = common_divisor(divisor, m[i][k]);
            }
            if (divisor > 1)
                for (auto& x : m[i]) x /= divisor;
        }
        ++rank;
    }
    if (independent_rows != nullptr)
        independent_rows->assign(origin.begin(), origin.begin() + rank);
    return rank;
}

std::int64_t exact_determinant(Exact_Matrix a) {
    const std::size_t n = a.size();
    std::int64_t sign = 1, previous = 1;
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t p = c;
        while (p < n && a[p][c] == 0) ++p;
        if (p == n) return 0;
        if (p != c) {
            std::swap(a[p], a[c]);
            sign = -sign;
        }
        for (std::size_t i = c + 1; i < n; ++i) {
            for (std::size_t k = c + 1; k < n; ++k) {
                a[i][k] = (a[c][c] * a[i][k] - a[i][c] * a[c][k]) / previous;
            }
        }
        previous = a[c][c];
    }
    return n == 0 ? 1 : sign * a[n - 1][n - 1];
}

Exact_Matrix exact_nullspace(Exact_Matrix a, std::size_t n) {
    std::vector<std::size_t> pivot_columns;
    std::size_t rank = 0;
    for (std::size_t c = 0; c < n && rank < a.size(); ++c) {
        const std::size_t p = pivot_row(a, rank, c);
        if (p == a.size()) continue;
        std::swap(a[p], a[rank]);
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (i == rank || a[i][c] == 0) continue;
            const std::int64_t f = a[i][c], g = a[rank][c];
            for (std::size_t k = 0; k < n; ++k) a[i][k] = a[i][k] * g - a[rank][k] * f;
            divide_by_common_factor(a[i]);
        }
        pivot_columns.push_back(c);
        ++rank;
    }
    Exact_Matrix basis;
    for (std::size_t f = 0; f < n; ++f) {
        if (std::find(pivot_columns.begin(), pivot_columns.end(), f) != pivot_columns.end())
            continue;
        std::int64_t scale = 1;
        for (std::size_t i = 0; i < rank; ++i) {
            const std::int64_t p = a[i][pivot_columns[i]];
            scale = std::lcm(scale, p < 0 ? -p : p);
        }
        Exact_Vector x(n, 0);
        x[f] = scale;
        for (std::size_t i = 0; i < rank; ++i)
            x[pivot_columns[i]] = -a[i][f] * scale / a[i][pivot_columns[i]];
        divide_by_common_factor(x);
        basis.push_back(x);
    }
    return basis;
}
