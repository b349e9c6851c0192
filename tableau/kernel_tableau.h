#pragma once

#include <cstddef>
#include <vector>

#include "tableau/kestrane_tableau.h"
#include "tableau/tableau.h"

// Pairs of rows that the candidate lists of a column step of the elementary-mode iteration may
// hold at once, unless one list alone holds more; by default 2^27, 1 GiB at 8 bytes a pair. A
// step whose candidates would be more generates them in rounds, and a list whose keyed candidates
// would take more bytes than 8 for each pair of the budget is sorted without keying it whole: the
// memory is capped, the results are the same.
constexpr std::size_t default_candidate_budget = std::size_t(1) << 27;
std::size_t candidate_budget();
void set_candidate_budget(std::size_t pairs);

// Candidates that the threads of a mode iteration test together while the batch before is
// decided; the tests of a batch see the rows made before the batch before it. Most tests take a
// fraction of a microsecond, so a batch must be large for the threads' start and wait to cost
// little beside it: measured on ecoli_core_glc_ac_succ, 4096 ran 15 % faster with two threads
// than 512, and 16384 no faster than 4096. The rows made and the counters are the same for every
// size (at least 1).
constexpr std::size_t default_batch_size = 4096;
std::size_t batch_size();
void set_batch_size(std::size_t candidates);

// Tableau of the elementary-mode iteration, built from a convex-basis tableau after its convex
// basis has been computed: its rows start as the basis vectors (reaction part only), with
// coefficients of type T (int, std::int64_t, Int128 or, with GMP, mpz_class).
template <typename T>
class Kernel_Tableau : public Tableau<T, Int_Combination<T> > {
   public:
    using Tableau<T, Int_Combination<T> >::resize_tableau;

    // From convex-basis tableau k, whose coefficients fit T.
    template <typename U>
    explicit Kernel_Tableau(const Kestrane_Tableau<U, Int_Combination<U> >& k)
        : Tableau<T, Int_Combination<T> >(k) {}

    // Turns the convex basis into the elementary modes by processing the reversible reaction
    // columns one at a time; afterwards slots 0 to rows - 1 hold exactly the elementary modes and
    // req_zeros is left lowered by 2. Writes its progress to standard output. Range_Error from a
    // combination leaves at once (the tableau is then mid-step and not to be used further).
    // use_condition_seven false keeps the rows that condition seven would delete (they need not
    // be elementary). after_convex_basis false is refused with std::logic_error, as are more
    // than 65536 reaction columns (std::length_error) and a starting row that is zero in every
    // reaction column (std::invalid_argument).
    void elementary_modes(bool use_condition_seven, bool after_convex_basis);

    // Grows the row capacity to rows + 128 * (rows / 512 + 1) and pushes the new slots onto
    // free_rows, highest first, so that the lowest new slot is taken first.
    void resize_tableau(std::vector<unsigned>& free_rows);
};
