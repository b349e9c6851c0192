#pragma once

#include <cstdint>

#include "tableau/coefficient.h"
#include "tableau/int_combination.h"

// Coefficient type handed to a stage by with_escalation.
template <typename T>
struct Coefficient_Width {
    using type = T;
};

// Writes the console line of one escalation: `stage` overflowed and is computed again with
// `width` integers.
void announce_escalation(const char* stage, const char* width);

// Stops the run when `stage` overflows the widest coefficients of this build.
[[noreturn]] void widest_overflow(const char* stage);

// Runs `compute` (called with a Coefficient_Width) with 32-bit coefficients and, each time a row
// combination overflows (Range_Error), again from its start with the next wider type: 64-bit,
// 128-bit and, where the program is built with GMP, unbounded integers. Exact arithmetic makes
// every width take the same decisions, so the result does not depend on the width that
// finished. Returns what the finishing call returns.
template <typename Stage>
auto with_escalation(const char* stage, Stage&& compute) {
    try {
        return compute(Coefficient_Width<int>{});
    } catch (const Range_Error&) {
        announce_escalation(stage, "64-bit");
    }
    try {
        return compute(Coefficient_Width<std::int64_t>{});
    } catch (const Range_Error&) {
        announce_escalation(stage, "128-bit");
    }
#ifdef KESTRANE_HAVE_GMP
    try {
        return compute(Coefficient_Width<Int128>{});
    } catch (const Range_Error&) {
        announce_escalation(stage, "unbounded");
    }
    return compute(Coefficient_Width<mpz_class>{});
#else
    try {
        return compute(Coefficient_Width<Int128>{});
    } catch (const Range_Error&) {
        widest_overflow(stage);
    }
#endif
}
