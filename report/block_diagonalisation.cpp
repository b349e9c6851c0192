#include "report/block_diagonalisation.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <utility>
#include <vector>

#include "matrix/allocation.h"
#include "matrix/checked_arithmetic.h"
#include "matrix/escalation.h"
#include "matrix/owned_records.h"

namespace {

// Only which working values are zero decides the blocks; the values themselves live in a width
// C of at least 64 bits, and a result beyond it makes the whole computation start again wider
// (Range_Error) instead of wrapping around.
template <typename C>
C checked_product(const C& x, const C& y) {
    C result;
    if (product_overflows(x, y, result)) throw Range_Error();
    return result;
}

template <typename C>
C checked_difference(const C& x, const C& y) {
    C result;
    if (difference_overflows(x, y, result)) throw Range_Error();
    return result;
}

template <typename C>
C checked_sum(const C& x, const C& y) {
    C result;
    if (sum_overflows(x, y, result)) throw Range_Error();
    return result;
}

// Divides count entries, stride apart, by the greatest common divisor of their magnitudes. A
// positive scale changes no zero entry into a non-zero one or back, so no decision depends on it.
template <typename C>
void divide_by_common_factor(C* first, int count, int stride) {
    C divisor = 0;
    for (int t = 0; t < count; ++t)
        divisor = common_divisor(divisor, first[std::size_t(t) * stride]);
    if (divisor <= 1) return;
    for (int t = 0; t < count; ++t) first[std::size_t(t) * stride] /= divisor;
}

// Copies of the names of the first count data nodes of a list, each a zero-filled array. Past the
// end of a shorter list the copies are empty: the kernel may have more rows than the network has
// metabolites, and nothing prints the row names.
class Name_Copies {
   public:
    Name_Copies() = default;
    Name_Copies(const enc* list, int count, const char* array_label, const char* name_label)
        : names_(zero_filled<char*>(std::size_t(count > 0 ? count : 0), array_label)),
          count_(count) {
        const enc* node = list->next;
        for (int t = 0; t < count; ++t) {
            const bool is_data = !is_tail(node);
            const std::size_t length = is_data ? node->name.size() : 0;
            names_[t] = zero_alloc_array<char>(length + 1, name_label);
            if (is_data) {
                memcpy(names_[t], node->name.c_str(), length);
                node = node->next;
            }
        }
    }
    Name_Copies(Name_Copies&&) = default;
    Name_Copies& operator=(Name_Copies&&) = default;
    ~Name_Copies() {
        for (int t = 0; names_ != nullptr && t < count_; ++t) free(names_[t]);
    }

    const char* operator[](int t) const { return names_[t]; }

   private:
    Owned_Array<char*> names_;
    int count_ = 0;
};

// A 1-based dense matrix in the layout of a classical elimination code: with c columns, entry
// (i, j) sits at i * c + j; row 0 and column 0 hold nothing.
template <typename C>
class Dense_Matrix {
   public:
    Dense_Matrix() = default;
    Dense_Matrix(const Dense_Matrix&) = delete;
    Dense_Matrix& operator=(const Dense_Matrix&) = delete;
    ~Dense_Matrix() { free_values(cells_, count_); }

    void create(int rows, int column_count, const char* label) {
        free_values(cells_, count_);
        cells_ = nullptr;
        columns_ = column_count;
        count_ = std::size_t(rows + 1) * std::size_t(column_count + 1);
        cells_ = zero_values<C>(count_, label);
    }
    C& at(int i, int j) { return cells_[std::size_t(i) * columns_ + j]; }
    // Makes every cell that of `other`, which has the same size.
    void copy_cells(const Dense_Matrix& other) {
        std::copy(other.cells_, other.cells_ + count_, cells_);
    }

   private:
    C* cells_ = nullptr;
    std::size_t count_ = 0;
    int columns_ = 0;
};

// One sweep that grows a block along rows or along columns. Positions after `last` that meet the
// block are taken in; at a position that does not, the far end moves one step in, after the
// position there has been exchanged forward if it meets the block. Taking a position in leaves
// the far end where it is. Returns the block's new last position.
template <typename Meets, typename Exchange>
int sweep(int last, int far_end, Meets meets, Exchange exchange) {
    int next = last + 1;
    while (next <= far_end) {
        if (meets(next)) {
            ++next;
            continue;
        }
        if (meets(far_end)) exchange(next, far_end);
        --far_end;
    }
    return next - 1;
}

// The blocks found: the reactions in the order of p, and where each block ends.
struct Blocks {
    int r = 0;                 // reactions
    bool independent = false;  // every column of the matrix is linearly independent
    Name_Copies reaction_names;
    Owned_Array<int> p;      // p[m]: 1-based reaction at position m
    Owned_Array<int> a;      // a[q]: last row of block q
    Owned_Array<int> table;  // the block membership table

    void write(FILE* report);
};

// Working state of one block diagonalisation with working values of width C, released with it.
template <typename C>
struct Block_Workspace {
    int n = 0;  // rows of the matrix handed in
    int r = 0;  // reactions
    Name_Copies reaction_names;
    Name_Copies row_names;
    Dense_Matrix<C> input;  // the matrix handed in
    Dense_Matrix<C> ca;     // the matrix under elimination
    Dense_Matrix<C> l;      // nullspace basis: r rows in the order of p, rho columns
    Owned_Array<int> p;     // p[m]: 1-based reaction at position m
    Owned_Array<int> a;     // a[q]: last row of block q
    Owned_Array<int> b;     // b[q]: last column of block q
    int rank = 0;
    int rho = 0;

    // The matrix that ce and re act on, and how far along the other direction they reach.
    Dense_Matrix<C>* swap_info = nullptr;
    int maxx = 0;

    template <typename T>
    void mat_inp1(const basic_mat<T>* M, const enc* enzyme_list, const enc* metabolite_list);
    void select(Dense_Matrix<C>& matrix, int extent) {
        swap_info = &matrix;
        maxx = extent;
    }
    void ce(int x, int y);
    void re(int x, int y);
    void eliminate();
    void create_basis_arrays();
    void nullspace_basis();
    int move_zero_rows_last();
    bool row_meets_columns(int row, int first_column, int last_column);
    bool column_meets_rows(int column, int first_row, int last_row);
    void close_block(int first_row, int first_column, int R, int& last_row, int& last_column);
    void form_blocks(int R);
};

// Copies the names and M, and starts the reaction order as the list order.
template <typename C>
template <typename T>
void Block_Workspace<C>::mat_inp1(const basic_mat<T>* M, const enc* enzyme_list,
                                  const enc* metabolite_list) {
    n = M->rows;
    r = M->columns;
    reaction_names = Name_Copies(enzyme_list, r, "react_names", "ract_names+i");
    row_names = Name_Copies(metabolite_list, n, "mets", "*(*mets+r)");
    input.create(n, r, "input matrix too large, change source code of the program");
    for (int t = 1; t <= n; ++t) {
        for (int w = 1; w <= r; ++w) input.at(t, w) = converted<C>(M->head[t - 1][w - 1]);
    }
    ca.create(n, r, "input matrix ca too large, not enough memory");
    p = zero_filled<int>(std::size_t(r) + 1, "vector p too large, not enough memory");
    ca.copy_cells(input);
    for (int m = 1; m <= r; ++m) p[m] = m;
}

// Exchanges columns x and y of the selected matrix in rows 1 to maxx.
template <typename C>
void Block_Workspace<C>::ce(int x, int y) {
    for (int t = 1; t <= maxx; ++t) std::swap(swap_info->at(t, x), swap_info->at(t, y));
}

// Exchanges rows x and y of the selected matrix in columns 1 to maxx.
template <typename C>
void Block_Workspace<C>::re(int x, int y) {
    for (int t = 1; t <= maxx; ++t) std::swap(swap_info->at(x, t), swap_info->at(y, t));
}

// Fraction-free elimination of ca with full pivoting: rows 1..rank become an upper trapezoid with
// a non-zero diagonal, its columns in the order of p. Every formed row is divided by its common
// factor, which keeps the values small without changing which of them are zero. Rows are formed
// in place: row m's entries depend only on themselves and on the pivot row, which stays as it is.
template <typename C>
void Block_Workspace<C>::eliminate() {
    int i = 1;
    int k = n;
    while (i <= k && i <= r) {
        if (ca.at(i, i) == 0) {
            int j = i + 1;
            while (j <= r && ca.at(i, j) == 0) ++j;
            if (j <= r) {
                select(ca, n);
                ce(i, j);
                std::swap(p[i], p[j]);
            } else {
                // Row i is all zero now: it leaves play at the bottom.
                if (i < k) {
                    select(ca, r);
                    re(i, k);
                }
                --k;
            }
            continue;
        }
        const C pivot = ca.at(i, i);
        for (int m = i + 1; m <= k; ++m) {
            const C factor = ca.at(m, i);
            if (factor == 0) {
                // The row stays as it is; only the first step divides it by its common factor.
                // Afterwards it keeps that factor 1: until a step combines it again (and divides
                // it anew) its entries only move between columns, beside the zeros that the
                // earlier steps left in front of column i.
                if (i == 1) divide_by_common_factor(&ca.at(m, i), r - i + 1, 1);
                continue;
            }
            const C divisor = common_divisor(pivot, factor);
            for (int j = i; j <= r; ++j) {
                if (ca.at(m, j) == 0 && ca.at(i, j) == 0) continue;
                ca.at(m, j) = checked_difference(checked_product(pivot, ca.at(m, j)),
                                                 checked_product(ca.at(i, j), factor)) /
                              divisor;
            }
            divide_by_common_factor(&ca.at(m, i), r - i + 1, 1);
        }
        ++i;
    }
    rank = i - 1;
    rho = r - rank;
}

template <typename C>
void Block_Workspace<C>::create_basis_arrays() {
    l.create(r, rho, "matrix l too large, not enough memory");
    a = zero_filled<int>(std::size_t(r) + 1, "vector a too large, not enough memory");
    b = zero_filled<int>(std::size_t(rho) + 1, "vector b too large, not enough memory");
}

// Column h of l solves the trapezoid with the free entry at row rank + h and the other free
// entries zero. That solution is fixed up to its scale, so the free entry starts at 1 and the
// column is kept divided by its common factor: the zero pattern is that of any other scale.
// Only the column's non-zero entries take part in the sums, scales and common factors, in the
// order of their rows; zero terms would change none of them.
template <typename C>
void Block_Workspace<C>::nullspace_basis() {
    std::vector<int> filled;  // rows i + 1..rank with a non-zero entry in column h, last row first
    for (int h = 1; h <= rho; ++h) {
        const int free_row = rank + h;
        l.at(free_row, h) = 1;
        filled.clear();
        for (int i = rank; i >= 1; --i) {
            C z = 0;
            for (auto m = filled.rbegin(); m != filled.rend(); ++m) {
                if (ca.at(i, *m) == 0) continue;
                z = checked_sum(z, checked_product(l.at(*m, h), ca.at(i, *m)));
            }
            const C v =
                checked_difference(checked_product(C(-ca.at(i, free_row)), l.at(free_row, h)), z);
            const C& d = ca.at(i, i);
            if (v % d == 0) {
                l.at(i, h) = v / d;
            } else {
                // Scale the entries found so far so that the division becomes exact.
                const C g = common_divisor(d, v);
                const C s = d / g;
                l.at(free_row, h) = checked_product(l.at(free_row, h), s);
                for (auto m = filled.rbegin(); m != filled.rend(); ++m)
                    l.at(*m, h) = checked_product(l.at(*m, h), s);
                l.at(i, h) = v / g;
            }
            if (l.at(i, h) != 0) filled.push_back(i);
            // Rows between rank and the free row are zero in this column.
            C divisor = magnitude(l.at(free_row, h));
            for (int m : filled) divisor = common_divisor(divisor, l.at(m, h));
            if (divisor <= 1) continue;
            l.at(free_row, h) /= divisor;
            for (int m : filled) l.at(m, h) /= divisor;
        }
    }
}

template <typename C>
bool Block_Workspace<C>::row_meets_columns(int row, int first_column, int last_column) {
    for (int c = first_column; c <= last_column; ++c) {
        if (l.at(row, c) != 0) return true;
    }
    return false;
}

template <typename C>
bool Block_Workspace<C>::column_meets_rows(int column, int first_row, int last_row) {
    for (int t = first_row; t <= last_row; ++t) {
        if (l.at(t, column) != 0) return true;
    }
    return false;
}

// Moves the reactions whose nullspace row is zero to the end; returns R, the rows that remain.
template <typename C>
int Block_Workspace<C>::move_zero_rows_last() {
    select(l, rho);
    int i = 1;
    int k = r;
    while (i <= k) {
        if (row_meets_columns(i, 1, rho)) {
            ++i;
            continue;
        }
        if (i < k) {
            re(i, k);
            std::swap(p[i], p[k]);
        }
        --k;
    }
    return k;
}

// Grows the block that starts at first_row and first_column, holding row first_row and no column
// yet, until no row or column outside it meets it. A row taken in can meet columns that the
// column sweep already passed, so both sweeps are repeated until a pass takes in nothing (an
// exchange always brings its row or column in); a block closed earlier would split one coupled
// group of reactions over two blocks.
template <typename C>
void Block_Workspace<C>::close_block(int first_row, int first_column, int R, int& last_row,
                                     int& last_column) {
    last_row = first_row;
    last_column = first_column - 1;
    bool grew = true;
    while (grew) {
        const int rows_before = last_row;
        const int columns_before = last_column;
        select(l, R);
        last_column = sweep(
            last_column, rho,
            [&](int column) { return column_meets_rows(column, first_row, last_row); },
            [&](int x, int y) { ce(x, y); });
        select(l, rho);
        last_row = sweep(
            last_row, R, [&](int row) { return row_meets_columns(row, first_column, last_column); },
            [&](int x, int y) {
                re(x, y);
                std::swap(p[x], p[y]);
            });
        grew = last_row != rows_before || last_column != columns_before;
    }
}

// Permutes rows 1..R and all columns of l into diagonal blocks; a[q] and b[q] end block q.
template <typename C>
void Block_Workspace<C>::form_blocks(int R) {
    int q = 0;
    a[0] = 0;
    b[0] = 0;
    while (b[q] < rho) {
        int last_row = 0;
        int last_column = 0;
        close_block(a[q] + 1, b[q] + 1, R, last_row, last_column);
        ++q;
        a[q] = last_row;
        b[q] = last_column;
    }
}

// Lists the reactions block by block and marks each in the membership table; the reactions
// without nullspace entries follow the last block under a header of their own.
void Blocks::write(FILE* report) {
    fprintf(report,
            "\nBLOCK DIAGONALISATION\nReaction blocks were found from nullspace matrix "
            "(KERNEL).\n");
    fprintf(report, "1. block:\n");
    int t = 1;
    for (int m = 1; m <= r; ++m) {
        table[std::size_t(t) * r + (p[m] - 1)] = t + 1;
        fprintf(report, "%s\t", reaction_names[p[m] - 1]);
        if (a[t] == m && m < r) {
            fprintf(report, "\n%d. block:", t + 1);
            fprintf(report, "\n");
            ++t;
        }
        fflush(report);
    }
}

// The blocks of M, worked out with values of width C.
template <typename C, typename T>
Blocks find_blocks(const basic_mat<T>* M, const enc* enzyme_list, const enc* metabolite_list) {
    Block_Workspace<C> work;
    work.mat_inp1(M, enzyme_list, metabolite_list);
    Blocks blocks;
    blocks.r = work.r;
    blocks.table = zero_filled<int>((std::size_t(work.r) + 1) * (std::size_t(work.r) + 1),
                                    "enzyme_is_member_of_block");
    work.eliminate();
    work.create_basis_arrays();
    blocks.independent = work.rank == work.r;
    if (!blocks.independent) {
        work.nullspace_basis();
        work.form_blocks(work.move_zero_rows_last());
    }
    blocks.reaction_names = std::move(work.reaction_names);
    blocks.p = std::move(work.p);
    blocks.a = std::move(work.a);
    return blocks;
}

}  // namespace

void block_diagonalisation(int** table_holder, FILE* report, Wide_View M, const enc* enzyme_list,
                           const enc* metabolite_list) {
    // The working values start 64 bits wide, or as wide as M's own.
    Blocks blocks = escalate(std::max(M.width(), width_index<std::int64_t>), [&](auto width) {
        using C = typename decltype(width)::type;
        return M.visit([&](const auto* record) {
            return find_blocks<C>(record, enzyme_list, metabolite_list);
        });
    });
    if (blocks.independent)
        printf("All columns of the stoichiometry matrix are linearly independent.\n");
    else
        blocks.write(report);
    *table_holder = blocks.table.release();
    fprintf(report, "\n");
}
