#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>

#include "matrix/allocation.h"
#include "matrix/records.h"

// Owning handles for the plain records: each releases its record with the function that the
// record's allocator pairs with, when the handle goes out of scope.

struct Mat_Deleter {
    template <typename T>
    void operator()(basic_mat<T>* m) const {
        freemat(m);
    }
};
struct Vector_Deleter {
    void operator()(simple_vector* v) const { freevector(v); }
};
struct List_Deleter {
    void operator()(enc* list) const { free_met_list(list); }
};
template <typename T>
using Owned_Basic_Mat = std::unique_ptr<basic_mat<T>, Mat_Deleter>;
using Owned_Mat = Owned_Basic_Mat<int>;

// Takes a new record into an owning handle.
template <typename T>
Owned_Basic_Mat<T> owned(basic_mat<T>* m) {
    return Owned_Basic_Mat<T>(m);
}
using Owned_Vector = std::unique_ptr<simple_vector, Vector_Deleter>;
using Owned_List = std::unique_ptr<enc, List_Deleter>;

// A matrix record whose rows are views into storage owned elsewhere (a table or a tableau):
// only the row-pointer array and the record are released, never the rows.
struct Reference_Mat_Deleter {
    template <typename T>
    void operator()(basic_mat<T>* m) const {
        if (m == nullptr) return;
        free(m->head);
        free(m);
    }
};
using Owned_Reference_Mat = std::unique_ptr<mat, Reference_Mat_Deleter>;

// A zero-filled array from zero_alloc, released with free().
struct Array_Deleter {
    void operator()(void* p) const { free(p); }
};
template <typename T>
using Owned_Array = std::unique_ptr<T[], Array_Deleter>;

// count zero-filled elements, allocated as zero_alloc_array does with the same label (the
// zero-amount and not-enough-memory messages stop the program with status 1).
template <typename T>
Owned_Array<T> zero_filled(std::size_t count, const char* label) {
    return Owned_Array<T>(zero_alloc_array<T>(count, label));
}
