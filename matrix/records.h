#pragma once

#include <algorithm>
#include <string>

#include "matrix/allocation.h"

// Dense matrix of exact integers of type T; each row is an array of its own. Created with
// zero-filled arrays by the allocator that freemat releases with. The records of the network
// and of most sections hold 32-bit values (mat); the sections whose values may be larger hold
// them in a wider type (matrix/wide_mat.h).
template <typename T>
struct basic_mat {
    int rows;
    int columns;
    T** head;
};

// Dense matrix of 32-bit signed integers.
using mat = basic_mat<int>;

// Vector of 32-bit signed integers. In the run it carries flags: per reaction
// 1 = irreversible, per metabolite 1 = external, per internal metabolite 1 = branch point.
struct simple_vector {
    int length;
    int* head;
};

// One node of a singly linked name list: a data-less head node, the data nodes in
// order, and a data-less tail node whose next points to itself.
struct enc {
    int flag = 0;                // enzymes: 1 = irreversible; metabolites: 1 = external
    int number = 0;              // 1-based position in the list (matrix column or row)
    int cons = 0;                // metabolites: reactions with a negative coefficient
    int built = 0;               // metabolites: reactions with a positive coefficient
    int reactions = 0;           // metabolites: reactions with a non-zero coefficient
    std::string reaction_kinds;  // metabolites: "i" or "r" per reaction taken part in
    std::string name;
    enc* next = nullptr;
};

// A new zero-filled matrix; rows x columns must both be positive, else the program stops
// with the zero-amount message for the matching label.
template <typename T = int>
basic_mat<T>* new_mat(int rows, int columns, const char* record_label, const char* head_label,
                      const char* row_label) {
    basic_mat<T>* m = zero_alloc_array<basic_mat<T> >(1, record_label);
    m->rows = rows;
    m->columns = columns;
    m->head = zero_alloc_array<T*>(rows > 0 ? rows : 0, head_label);
    for (int i = 0; i < rows; ++i)
        m->head[i] = zero_values<T>(columns > 0 ? columns : 0, row_label);
    return m;
}

// A new zero-filled matrix of any size, also without rows or columns: its arrays then get one
// element, so that freemat releases it as usual. Every allocation is reported with `label`.
template <typename T>
basic_mat<T>* new_result_mat(int rows, int columns, const char* label) {
    basic_mat<T>* m = zero_alloc_array<basic_mat<T> >(1, label);
    m->rows = rows;
    m->columns = columns;
    m->head = zero_alloc_array<T*>(std::max(rows, 1), label);
    for (int i = 0; i < rows; ++i) m->head[i] = zero_values<T>(std::max(columns, 1), label);
    return m;
}

// A new zero-filled vector of the given length (stops on a zero length).
simple_vector* new_vector(int length, const char* record_label, const char* head_label);

// Releases every row array, the row-pointer array and the record.
template <typename T>
void freemat(basic_mat<T>* m) {
    if (m == nullptr) return;
    // A row of a record without columns holds the one value new_result_mat gave it.
    for (int i = 0; i < m->rows; ++i) free_values(m->head[i], std::max(m->columns, 1));
    free(m->head);
    free(m);
}

// Releases the element array and the record.
void freevector(simple_vector* v);

// An empty list: a head node whose next is the self-linked tail node.
enc* new_met_list();

// Inserts a new data node right after node and returns it.
enc* insert_node_after(enc* node);

// Releases every node of the list, head and tail included.
void free_met_list(enc* list);

// True when node is the self-linked tail (the end of a traversal).
inline bool is_tail(const enc* node) { return node->next == node; }
