#pragma once

#include <cstddef>

#include "matrix/range_error.h"

template <typename T, typename Combination>
class Tableau;
struct Zero_Pattern;

// Exact integer arithmetic policy of the tableau: forms a new row that cancels one column from
// two rows, and reduces a row by the common factor of its coefficients. Rows are named by the
// position of their first coefficient in the tableau's coefficient store (slot * stride).
// Instantiated for int, std::int64_t, Int128 and, with GMP, mpz_class coefficients.
template <typename T>
class Int_Combination {
   public:
    using Table = Tableau<T, Int_Combination<T> >;

    // Writes into the slot at `target` the combination of the rows at `first` and `second` that is
    // zero where they hold first_value and second_value (both non-zero), over all stride columns,
    // and fills `summary` over the reaction columns. Irreversible rows enter with a positive
    // multiplier. Throws Range_Error on overflow (columns before it are already written), and
    // std::invalid_argument when a value is 0. Bit pattern, reversibility and status of the
    // target are left to the caller.
    static void combine_rows(const std::size_t& first, const std::size_t& second, Table& t,
                             const T& first_value, const T& second_value,
                             const bool& first_reversible, const bool& second_reversible,
                             const std::size_t& target, Zero_Pattern& summary);

    // Divides the row at `position` (all stride columns) by the greatest common divisor of its
    // coefficients, in place. Never changes the sign or the zero/non-zero structure.
    static void normalize_row(const std::size_t& position, Table& t);
};
