#include "statistics/least_squares.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "matrix/allocation.h"

Owned_Array<double> zeroed_doubles(std::int64_t count, const char* label) {
    if (count <= 0) amount_is_zero(label);
    return zero_filled<double>(static_cast<std::size_t>(count), label);
}

int matmult(double* left, double* right, double* product, int m, int n, int p) {
    for (int i = 0; i < m; ++i) {
        for (int j = 0; j < p; ++j) {
            double& element = product[static_cast<std::size_t>(i) * p + j];
            element = 0.0;
            for (int l = 0; l < n; ++l)
                element += left[static_cast<std::size_t>(i) * n + l] *
                           right[static_cast<std::size_t>(l) * p + j];
        }
    }
    return 1;
}

namespace {

// Zero-filled int array of n + 1 entries for the bookkeeping of matinv.
Owned_Array<int> pivot_record(int n, const char* label) {
    if (n + 1 <= 0) amount_is_zero(label);
    return zero_filled<int>(static_cast<std::size_t>(n) + 1, label);
}

}  // namespace

int matinv(double* a, int n, int row_stride) {
    const Owned_Array<int> pivot_row = pivot_record(n, "ix not allocated");
    const Owned_Array<int> pivot_column = pivot_record(n, "iy not allocated");
    const Owned_Array<int> column_used = pivot_record(n, "iq not allocated");
    auto at = [a, row_stride](int row, int column) -> double& {
        return a[static_cast<std::size_t>(row) * row_stride + column];
    };

    for (int step = 0; step < n; ++step) {
        // Full pivoting over the rows and columns not yet used; among equal magnitudes the
        // last one in row-major order wins.
        double largest = 0.0;
        int row = 0, column = 0;
        for (int j = 0; j < n; ++j) {
            if (column_used[j] == 1) continue;
            for (int k = 0; k < n; ++k) {
                if (column_used[k] == 1) continue;
                if (std::fabs(at(j, k)) >= largest) {
                    largest = std::fabs(at(j, k));
                    row = j;
                    column = k;
                }
            }
        }
        ++column_used[column];
        // The pivot moves onto the diagonal; the column exchange this implies is undone at
        // the end.
        if (row != column)
            for (int l = 0; l < n; ++l) std::swap(at(row, l), at(column, l));
        pivot_row[step] = row;
        pivot_column[step] = column;

        const double pivot = at(column, column);
        at(column, column) = 1.0;
        for (int l = 0; l < n; ++l) at(column, l) /= pivot;
        for (int other = 0; other < n; ++other) {
            if (other == column) continue;
            const double factor = at(other, column);
            at(other, column) = 0.0;
            for (int l = 0; l < n; ++l) at(other, l) -= at(column, l) * factor;
        }
    }
    for (int step = n - 1; step >= 0; --step) {
        if (pivot_row[step] == pivot_column[step]) continue;
        for (int k = 0; k < n; ++k) std::swap(at(k, pivot_row[step]), at(k, pivot_column[step]));
    }
    return 1;
}

int mlr(double* x, int n, int k, double* y, int with_constant, double* b) {
    const int p = k + (with_constant ? 1 : 0);
    // A negative dimension is as empty as a zero one.
    const std::int64_t cells = n <= 0 || p <= 0 ? 0 : static_cast<std::int64_t>(n) * p;
    const Owned_Array<double> xtransp_array = zeroed_doubles(cells, "xtransp not allocated");
    const Owned_Array<double> xinv_array =
        zeroed_doubles(static_cast<std::int64_t>(p) * p, "xinv not allocated");
    const Owned_Array<double> xinv_mal_xtransp_array =
        zeroed_doubles(cells, "xinv_mal_xtransp  not allocated");
    const Owned_Array<double> xx_array = zeroed_doubles(cells, "xx not allocated");
    double* xtransp = xtransp_array.get();
    double* xinv = xinv_array.get();
    double* xinv_mal_xtransp = xinv_mal_xtransp_array.get();
    double* xx = xx_array.get();

    for (int i = 0; i < n; ++i) {
        double* design_row = xx + static_cast<std::size_t>(i) * p;
        for (int j = 0; j < k; ++j) design_row[j] = x[static_cast<std::size_t>(i) * k + j];
        if (with_constant) design_row[k] = 1.0;
    }
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < p; ++j)
            xtransp[static_cast<std::size_t>(j) * n + i] = xx[static_cast<std::size_t>(i) * p + j];

    // b = (X^T X)^-1 X^T y
    matmult(xtransp, xx, xinv, p, n, p);
    matinv(xinv, p, p);
    matmult(xinv, xtransp, xinv_mal_xtransp, p, p, n);
    matmult(xinv_mal_xtransp, y, b, p, n, 1);

    printf("\n");
    for (int i = 1; i <= p; ++i) printf("b%d = %f\t", i, b[i - 1]);
    printf("\n");

    return 0;
}
