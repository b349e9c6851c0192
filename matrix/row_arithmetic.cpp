#include "matrix/row_arithmetic.h"

#include "matrix/overflow.h"
#include "matrix/range_error.h"

template <typename T>
T row_divisor(const T* row, int length) {
    T divisor = 0;
    for (int c = 0; c < length && divisor != 1; ++c) divisor = common_divisor(divisor, row[c]);
    return divisor;
}

template <typename T>
void negate_row(T* row, int length) {
    for (int c = 0; c < length; ++c) {
        if (!fits<T>(row[c])) throw Range_Error();
        row[c] = -row[c];
    }
}

int gcd(int a, int b) {
    return fit_int(common_divisor<std::int64_t>(a, b), "the greatest common divisor");
}

template <typename T>
void ggt_matrix(basic_mat<T>* m) {
    for (int i = 0; i < m->rows; ++i) {
        T* row = m->head[i];
        // A row holding a unit entry has divisor 1 and stays as it is.
        const T g = row_divisor(row, m->columns);
        if (g < 2) continue;
        for (int c = 0; c < m->columns; ++c) row[c] /= g;
    }
}

#define KESTRANE_ROW_ARITHMETIC(T)         \
    template T row_divisor(const T*, int); \
    template void negate_row(T*, int);     \
    template void ggt_matrix(basic_mat<T>*);
KESTRANE_FOR_EACH_WIDTH(KESTRANE_ROW_ARITHMETIC)
