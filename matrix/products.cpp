#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "matrix/overflow.h"
#include "matrix/toolkit.h"

mat* mult(const mat* a, const mat* b) {
    if (b->rows != a->columns) {
        printf("error in mult: mat dimensions are incompatible");
        fflush(stdout);
        exit(1);
    }
    const char* const stage = "a matrix product";
    mat* mm = new_mat(a->rows, b->columns, "mm not allocated", "mm->head not allocated",
                      "*(mm->head+i) not allocated");
    for (int i = 0; i < a->rows; ++i) {
        for (int k = 0; k < b->columns; ++k) {
            // Every product of two 32-bit numbers fits 64 bits; only the running sum can leave
            // them.
            std::int64_t sum = 0;
            for (int t = 0; t < a->columns; ++t) {
                const std::int64_t term = static_cast<std::int64_t>(b->head[t][k]) * a->head[i][t];
                if (sum_overflows(sum, term, sum)) integer_overflow(stage);
            }
            mm->head[i][k] = fit_int(sum, stage);
        }
    }
    return mm;
}
