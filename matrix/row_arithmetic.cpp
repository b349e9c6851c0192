#include "matrix/row_arithmetic.h"

#include "matrix/overflow.h"

template <typename T>
std::int64_t row_divisor(const T* row, int length) {
    std::int64_t divisor = 0;
    for (int c = 0; c < length && divisor != 1; ++c)
        divisor = common_divisor<std::int64_t>(divisor, row[c]);
    return divisor;
}

template std::int64_t row_divisor<int>(const int*, int);
template std::int64_t row_divisor<std::int64_t>(const std::int64_t*, int);

void negate_row(int* row, int length, const char* stage) {
    for (int c = 0; c < length; ++c) row[c] = fit_int(-static_cast<std::int64_t>(row[c]), stage);
}

int gcd(int a, int b) {
    return fit_int(common_divisor<std::int64_t>(a, b), "the greatest common divisor");
}

void ggt_matrix(mat* m) {
    for (int i = 0; i < m->rows; ++i) {
        int* row = m->head[i];
        // A row holding a unit entry has divisor 1 and stays as it is.
        const std::int64_t g = row_divisor(row, m->columns);
        if (g < 2) continue;
        for (int c = 0; c < m->columns; ++c) row[c] = static_cast<int>(row[c] / g);
    }
}
