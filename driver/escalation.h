#pragma once

#include <cstddef>

#include "matrix/escalation.h"
#include "matrix/wide_integers.h"

// Writes the console line of one escalation: `stage` overflowed and is computed again with
// `width` integers.
void announce_escalation(const char* stage, const char* width);

// Runs `compute` (called with a Coefficient_Width) with the width whose index is `first` and,
// each time a row combination overflows (Range_Error), again from its start with the next wider
// type: 64-bit, 128-bit and, where the program is built with GMP, unbounded integers, writing
// the console line of each escalation. Value_Too_Large past the widest type of this build.
// Exact arithmetic makes every width take the same decisions, so the result does not depend on
// the width that finished. Returns what the finishing call returns.
template <typename Stage>
auto with_escalation(const char* stage, std::size_t first, Stage&& compute) {
    return escalate(first, compute,
                    [stage](std::size_t width) { announce_escalation(stage, width_name(width)); });
}
