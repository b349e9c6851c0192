#include "matrix/records.h"

#include <cstdlib>

#include "matrix/allocation.h"

simple_vector* new_vector(int length, const char* record_label, const char* head_label) {
    simple_vector* v = zero_alloc_array<simple_vector>(1, record_label);
    v->length = length;
    v->head = zero_alloc_array<int>(length > 0 ? length : 0, head_label);
    return v;
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
