#include "matrix/allocation.h"

#include <cstdio>
#include <cstdlib>

void not_enough_memory(const char* label) {
    printf("\nNot enough memory: %s\nProgramm prematurely finished.\n", label);
    fflush(stdout);
    exit(1);
}

void amount_is_zero(const char* label) {
    printf("\namount for allocation is zero : %s\nProgramm prematurely finished.\n", label);
    fflush(stdout);
    exit(1);
}

void* zero_alloc(std::size_t count, std::size_t size, const char* label) {
    if (count == 0) amount_is_zero(label);
    void* p = calloc(count, size);
    if (p == nullptr) not_enough_memory(label);
    return p;
}
