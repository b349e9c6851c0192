#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>

// Zero-filled allocation of count elements of the given size, released with free().
// A request for zero elements prints the zero-amount message with the label, a failed
// allocation the not-enough-memory message; both end the program with status 1.
void* zero_alloc(std::size_t count, std::size_t size, const char* label);

template <typename T>
T* zero_alloc_array(std::size_t count, const char* label) {
    return static_cast<T*>(zero_alloc(count, sizeof(T), label));
}

// count values of T as zero_alloc_array allocates them, each a zero of T: for the bounded
// integer types the zero-filled memory itself, for the unbounded one each value constructed in
// it. Released with free_values.
template <typename T>
T* zero_values(std::size_t count, const char* label) {
    T* values = zero_alloc_array<T>(count, label);
    if constexpr (!std::is_trivially_default_constructible_v<T>) {
        for (std::size_t i = 0; i < count; ++i) new (values + i) T();
    }
    return values;
}

// Releases count values made by zero_values (nothing for a null pointer).
template <typename T>
void free_values(T* values, std::size_t count) {
    if (values == nullptr) return;
    if constexpr (!std::is_trivially_destructible_v<T>) {
        for (std::size_t i = 0; i < count; ++i) values[i].~T();
    }
    free(values);
}

// Prints "\nNot enough memory: <label>\nProgramm prematurely finished.\n", status 1.
[[noreturn]] void not_enough_memory(const char* label);

// Prints "\namount for allocation is zero : <label>\nProgramm prematurely finished.\n", status 1.
[[noreturn]] void amount_is_zero(const char* label);
