#include "tableau/zeros_in_short_table.h"

#include <bit>

namespace {

constexpr std::array<unsigned char, 65536> build_zeros_per_short() {
    std::array<unsigned char, 65536> table{};
    // Written through a plain pointer: a call of operator[] per entry would take the constant
    // evaluation past clang's default step limit.
    unsigned char* entry = table.data();
    for (unsigned i = 0; i < 65536; ++i)
        entry[i] = static_cast<unsigned char>(16 - std::popcount(i));
    return table;
}

}  // namespace

// Built by the compiler: the table needs no start-up work and lives in read-only data.
constinit const std::array<unsigned char, 65536> zeros_per_short = build_zeros_per_short();
