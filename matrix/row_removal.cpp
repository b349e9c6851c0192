#include "matrix/row_removal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

void delete_zero_line(mat* m, int i) {
    if (m->rows <= 0 || i < 0) {
        printf("error in delete_zero_line: no row %d in a matrix of %d rows\n", i, m->rows);
        fflush(stdout);
        exit(1);
    }
    // The row arrays stay in place: the contents below row i move up one row, the last array goes.
    for (int r = i + 1; r < m->rows; ++r)
        memcpy(m->head[r - 1], m->head[r], sizeof(int) * static_cast<size_t>(m->columns));
    free(m->head[m->rows - 1]);
    m->head[m->rows - 1] = nullptr;
    --m->rows;
}

void delete_corresponding_row_in_rev(simple_vector* v, int i) {
    if (v->length <= 0 || i < 0) {
        printf("error in delete_corresponding_row_in_rev: no element %d in a vector of %d\n", i,
               v->length);
        fflush(stdout);
        exit(1);
    }
    for (int e = i + 1; e < v->length; ++e) v->head[e - 1] = v->head[e];
    --v->length;
}
