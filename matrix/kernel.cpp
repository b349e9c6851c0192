#include "matrix/kernel.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "matrix/escalation.h"
#include "matrix/owned_records.h"
#include "matrix/reshape.h"
#include "matrix/row_arithmetic.h"
#include "matrix/simplify.h"

namespace {

// fb x x - fa x y in width T; Range_Error when a product or the result leaves it.
template <typename T>
T combine(const T& fb, const T& x, const T& fa, const T& y) {
    T left = 0;
    T right = 0;
    T result = 0;
    if (product_overflows(fb, x, left) || product_overflows(fa, y, right) ||
        difference_overflows(left, right, result))
        throw Range_Error();
    return result;
}

template <typename T>
struct Entry {
    int column;
    T value;
};

// A row of the elimination table by its non-zero entries, in increasing column order.
template <typename T>
using Sparse_Row = std::vector<Entry<T>>;

// The elimination table of a network with m metabolites and n reactions: row j holds column j
// of the network's matrix (columns 0..m-1) beside the unit vector j (columns m..m+n-1). Only
// non-zero entries are kept; networks are sparse, and a table of n x (m + n) numbers would be
// mostly zeros. Values and their combinations are of width T.
template <typename T>
class Elimination_Table {
   public:
    explicit Elimination_Table(const mat* n)
        : m_(n->rows), rows_(static_cast<std::size_t>(n->columns)), candidates_(m_) {
        for (int d = 0; d < m_; ++d) {
            for (int j = 0; j < n->columns; ++j) {
                if (n->head[d][j] == 0) continue;
                rows_[j].push_back({d, n->head[d][j]});
                candidates_[d].push_back(j);
            }
        }
        for (int j = 0; j < n->columns; ++j) rows_[j].push_back({m_ + j, 1});
    }

    // Clears column d in every row but the first one that has an entry there (the pivot row),
    // then empties the pivot row. Rows are combined in increasing order.
    void eliminate_column(int d) {
        // Every column before d is already cleared, so a row meets column d exactly when its
        // first entry lies there.
        std::vector<int>& rows = candidates_[d];
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        std::erase_if(rows, [&](int g) { return rows_[g].empty() || rows_[g][0].column != d; });
        if (rows.empty()) return;
        const int e = rows[0];
        for (std::size_t i = 1; i < rows.size(); ++i) clear_with_pivot(e, rows[i]);
        rows_[e].clear();
        rows_[e].shrink_to_fit();
        std::vector<int>().swap(rows);
    }

    // Row j; once every metabolite column is cleared, only unit-vector columns are left in it.
    const Sparse_Row<T>& row(int j) const { return rows_[j]; }

   private:
    // Row g becomes the pivot's coefficient times row g minus row g's coefficient times the pivot
    // row e (both coefficients reduced by their common divisor), then is divided by the common
    // divisor of its entries.
    void clear_with_pivot(int e, int g) {
        const Sparse_Row<T>& pivot = rows_[e];
        Sparse_Row<T>& target = rows_[g];
        const T a = target[0].value;
        const T b = pivot[0].value;
        const T q = common_divisor(a, b);
        const T fa = a / q;
        const T fb = b / q;

        work_columns_.clear();
        work_values_.clear();
        std::size_t x = 0;
        std::size_t y = 0;
        while (x < target.size() || y < pivot.size()) {
            const int cx = x < target.size() ? target[x].column : INT_MAX;
            const int cy = y < pivot.size() ? pivot[y].column : INT_MAX;
            const int c = std::min(cx, cy);
            const T vx = cx == c ? target[x++].value : T(0);
            const T vy = cy == c ? pivot[y++].value : T(0);
            T value = combine(fb, vx, fa, vy);
            if (value == 0) continue;
            work_columns_.push_back(c);
            work_values_.push_back(std::move(value));
        }
        T divisor = row_divisor(work_values_.data(), static_cast<int>(work_values_.size()));
        if (divisor == 0) divisor = 1;
        target.clear();
        for (std::size_t i = 0; i < work_values_.size(); ++i) {
            target.push_back({work_columns_[i], work_values_[i] / divisor});
            // A new entry in a metabolite column makes row g a candidate there.
            if (work_columns_[i] < m_) candidates_[work_columns_[i]].push_back(g);
        }
    }

    int m_;
    std::vector<Sparse_Row<T>> rows_;
    std::vector<std::vector<int>> candidates_;  // per metabolite column: rows that may meet it
    std::vector<int> work_columns_;
    std::vector<T> work_values_;
};

// The kernel of n in width T.
template <typename T>
Wide_Mat kernel_in(const mat* n) {
    // Row j of the table is column j of n beside the unit vector j; eliminating the left part
    // column by column leaves, in the rows that never serve as pivot, nullspace vectors in the
    // right part.
    Elimination_Table<T> table(n);
    const int m = n->rows;
    for (int d = 0; d < m; ++d) table.eliminate_column(d);

    // The rows whose right part is not zero, in order; when there is none, the n.columns zero
    // rows of the right part.
    int nonzero = 0;
    for (int j = 0; j < n->columns; ++j)
        if (!table.row(j).empty()) ++nonzero;
    const int rows = nonzero > 0 ? nonzero : n->columns;
    const Owned_Basic_Mat<T> k(new_mat<T>(rows, n->columns, "mc not allocated",
                                          "mc->head not allocated (3)",
                                          "*(mc->head+i) not allocated"));
    int i = 0;
    for (int j = 0; j < n->columns && nonzero > 0; ++j) {
        if (table.row(j).empty()) continue;
        for (const Entry<T>& entry : table.row(j)) k->head[i][entry.column - m] = entry.value;
        ++i;
    }
    Owned_Basic_Mat<T> r(simplify(k.get()));
    switch_if_all_rows_are_minus_into_plus(r.get());
    return narrowest(std::move(r));
}

}  // namespace

Wide_Mat kernel(const mat* n) {
    // A matrix without rows or columns has no transpose to eliminate: transp stops with its
    // allocation message and does not return.
    if (n->rows <= 0 || n->columns <= 0) Owned_Mat{transp(n)};
    // The combinations of 32-bit entries are formed 64 bits wide from the start.
    return escalate(width_index<std::int64_t>,
                    [&](auto width) { return kernel_in<typename decltype(width)::type>(n); });
}
