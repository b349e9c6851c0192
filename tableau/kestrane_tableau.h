#pragma once

#include <functional>
#include <memory>
#include <queue>
#include <vector>

#include "matrix/records.h"
#include "tableau/tableau.h"

// Free row slots of a tableau, the smallest on top.
using Free_Slots = std::priority_queue<unsigned, std::vector<unsigned>, std::greater<unsigned> >;

class Kestrane_Iteration;

// Tableau of the convex-basis iteration: one row per reaction, laid out as [I | m^T] for a
// constraint matrix m (constraints x reactions).
template <typename T, typename Combination>
class Kestrane_Tableau : public Tableau<T, Combination> {
   public:
    // Builds [I | m^T] from m of any width. Column k is irreversible when rev is given and
    // rev->head[k] > 1e-6; each row is reversible exactly when its reaction is. m is only read;
    // rev may be null and must otherwise hold at least m->columns elements (std::out_of_range).
    // Range_Error when a value of m does not fit T. order is not used.
    Kestrane_Tableau(Wide_View m, const simple_vector* rev, unsigned* order);

    // Copy of a tableau of other coefficients after its convex basis has been computed, when the
    // basis fits this tableau's coefficients (rows_width_needed): the same slots, flags,
    // summaries and timing, the basis rows converted, every other coefficient 0.
    template <typename U>
    explicit Kestrane_Tableau(const Kestrane_Tableau<U, Int_Combination<U> >& other)
        : Tableau<T, Combination>(static_cast<const Tableau<U, Int_Combination<U> >&>(other)) {}

    // Eliminates the constraint columns one at a time. Afterwards slots 0 to rows - 1 hold the
    // convex basis of {v : m v = 0, v_k >= 0 for irreversible k} (reversible rows span its linear
    // part, irreversible rows are its extreme directions) and req_zeros is set for the
    // elementary-mode stage. Writes progress to standard output. On Range_Error the position is
    // saved in `it`, rows is made a count again and the exception passed on. Requires a fresh
    // tableau and iteration record; resume true is refused with std::logic_error.
    void convex_basis(Kestrane_Iteration& it, bool resume);

    // Moves the rows listed in `live` into the lowest free slots, the largest row into the
    // smallest slot first, rewriting `live` and `free` to match. rows is left at the highest slot
    // in use. With `free` empty nothing changes.
    void compact_tableau(std::vector<unsigned>& live, Free_Slots& free);
};

// Working state of one convex-basis run over a Kestrane_Tableau.
class Kestrane_Iteration {
   public:
    std::unique_ptr<std::vector<unsigned> > current_rows;  // rows at the start of the step
    std::unique_ptr<std::vector<unsigned> > next_rows;     // rows collected for the next step
    unsigned* resume_first = nullptr;   // first row of a pair interrupted by overflow
    unsigned* resume_second = nullptr;  // second row of that pair
    Free_Slots free_slots;
    std::vector<unsigned> column_order;  // constraint columns still to do, next one at the back
    unsigned accepted = 0;
    unsigned deleted = 0;  // never raised by the convex-basis iteration
    unsigned ignored = 0;
    // Written only when an overflow interrupts the run.
    unsigned step = 0;
    unsigned new_slot = 0;
    unsigned last_slot = 0;
    unsigned start_rows = 0;

    // The record for one run over t: current_rows = 0, 1, ..., t.rows - 1, everything else empty.
    template <typename T, typename Combination>
    explicit Kestrane_Iteration(const Kestrane_Tableau<T, Combination>& t);
};
