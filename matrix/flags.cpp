#include "matrix/flags.h"

#include <cstdio>
#include <cstdlib>

#include "matrix/wide_integers.h"

simple_vector* getrev(const enc* list) {
    int count = 0;
    for (const enc* node = list->next; !is_tail(node); node = node->next) ++count;
    simple_vector* v = new_vector(count, "v not allocated", "v->head not allocated");
    int i = 0;
    for (const enc* node = list->next; !is_tail(node); node = node->next) v->head[i++] = node->flag;
    return v;
}

template <typename T>
simple_vector* subrev(const basic_mat<T>* s, const simple_vector* rev) {
    if (rev->length < s->columns) {
        printf("error in subrev: %d reversibility flags for %d columns\n", rev->length, s->columns);
        fflush(stdout);
        exit(1);
    }
    simple_vector* r = new_vector(s->rows, "r not allocated", "r->head not allocated");
    for (int d = 0; d < s->rows; ++d) {
        for (int e = 0; e < s->columns; ++e) {
            if (s->head[d][e] != 0 && rev->head[e] != 0) {
                r->head[d] = 1;
                break;
            }
        }
    }
    return r;
}

#define KESTRANE_FLAGS(T) template simple_vector* subrev(const basic_mat<T>*, const simple_vector*);
KESTRANE_FOR_EACH_WIDTH(KESTRANE_FLAGS)
