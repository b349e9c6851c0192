#pragma once

#include <cstdint>

#include "matrix/checked_arithmetic.h"

// Integer results are formed in 64 bits and must fit a 32-bit coefficient. A value outside
// [-2147483647, 2147483647] stops the run with a message naming the stage, status 1; the report
// never shows a wrapped-around number.
[[noreturn]] void integer_overflow(const char* stage);

inline int fit_int(std::int64_t value, const char* stage) {
    if (!fits_int32(value)) integer_overflow(stage);
    return static_cast<int>(value);
}
