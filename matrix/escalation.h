#pragma once

#include <cstddef>
#include <variant>

#include "matrix/range_error.h"
#include "matrix/wide_integers.h"

// Calls compute(Coefficient_Width<T>{}) with the width whose index is `first` and, each time it
// throws Range_Error, again from its start with the next wider width, after calling
// on_wider(index of that width). Past the widest width of this build it throws Value_Too_Large.
// Exact arithmetic makes every width reach the same result, so the result does not depend on
// the width that finished. Returns what the finishing call returns; compute must return the
// same type for every width.
template <typename Compute, typename On_Wider>
auto escalate(std::size_t first, Compute&& compute, On_Wider&& on_wider) {
    for (std::size_t width = first;; ++width) {
        try {
            return std::visit(compute, width_at(width));
        } catch (const Range_Error&) {
            if (width + 1 >= width_count) throw Value_Too_Large();
            on_wider(width + 1);
        }
    }
}

// escalate without a word on the way: for the steps whose retries cost little.
template <typename Compute>
auto escalate(std::size_t first, Compute&& compute) {
    return escalate(first, compute, [](std::size_t) {});
}
