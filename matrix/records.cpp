#include "matrix/records.h"

#include <cstdlib>

#include "matrix/allocation.h"

mat* new_mat(int rows, int columns, const char* record_label, const char* head_label,
             const char* row_label) {
    mat* m = zero_alloc_array<mat>(1, record_label);
    m->rows = rows;
    m->columns = columns;
    m->head = zero_alloc_array<int*>(rows > 0 ? rows : 0, head_label);
    for (int i = 0; i < rows; ++i)
        m->head[i] = zero_alloc_array<int>(columns > 0 ? columns : 0, row_label);
    return m;
}

simple_vector* new_vector(int length, const char* record_label, const char* head_label) {
    simple_vector* v = zero_alloc_array<simple_vector>(1, record_label);
    v->length = length;
    v->head = zero_alloc_array<int>(length > 0 ? length : 0, head_label);
    return v;
}

void freemat(mat* m) {
    if (m == nullptr) return;
    for (int i = 0; i < m->rows; ++i) free(m->head[i]);
    free(m->head);
    free(m);
}

void freevector(simple_vector* v) {
    if (v == nullptr) return;
    free(v->head);
    free(v);
}

enc* new_met_list() {
    enc* head = new enc;
    enc* tail = new enc;
    tail->next = tail;
    head->next = tail;
    return head;
}

enc* insert_node_after(enc* node) {
    enc* inserted = new enc;
    inserted->next = node->next;
    node->next = inserted;
    return inserted;
}

void free_met_list(enc* list) {
    if (list == nullptr) return;
    enc* node = list;
    while (!is_tail(node)) {
        enc* next = node->next;
        delete node;
        node = next;
    }
    delete node;
}
