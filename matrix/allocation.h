#pragma once

#include <cstddef>

// Zero-filled allocation of count elements of the given size, released with free().
// A request for zero elements prints the zero-amount message with the label, a failed
// allocation the not-enough-memory message; both end the program with status 1.
void* zero_alloc(std::size_t count, std::size_t size, const char* label);

template <typename T>
T* zero_alloc_array(std::size_t count, const char* label) {
    return static_cast<T*>(zero_alloc(count, sizeof(T), label));
}

// Prints "\nNot enough memory: <label>\nProgramm prematurely finished.\n", status 1.
[[noreturn]] void not_enough_memory(const char* label);

// Prints "\namount for allocation is zero : <label>\nProgramm prematurely finished.\n", status 1.
[[noreturn]] void amount_is_zero(const char* label);
