#include "driver/tableau_stages.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <type_traits>
#include <utility>

#include "driver/escalation.h"
#include "matrix/products.h"
#include "tableau/kernel_tableau.h"
#include "tableau/worker_pool.h"

namespace {

// Stops the run when a row of `t` holds a value that the report's 32-bit records cannot take.
template <typename Table>
void require_report_range(const Table& t, const char* section) {
    if (t.rows_fit_int32()) return;
    std::cout << std::flush;
    printf(
        "\nA value in the section %s does not fit a 32-bit integer.\n"
        "Programm prematurely finished.\n",
        section);
    fflush(stdout);
    exit(1);
}

}  // namespace

Reduced_Basis reduced_convex_basis(const mat* R, const simple_vector* srev) {
    return with_escalation("the convex basis", [&](auto width) {
        using T = typename decltype(width)::type;
        auto t = std::make_unique<Kestrane_Tableau<T, Int_Combination<T> > >(R, srev, nullptr);
        Kestrane_Iteration iteration(*t);
        t->convex_basis(iteration, false);
        require_report_range(*t, "CONVEX BASIS");
        Owned_Mat vectors(t->make_mat());
        if constexpr (std::is_same_v<T, int>) {
            return Reduced_Basis{std::move(vectors), std::move(t)};
        } else {
            return Reduced_Basis{std::move(vectors), std::make_unique<Basis_Tableau>(*t)};
        }
    });
}

Owned_Mat non_negative_conservation_relations(const mat* Nint_t,
                                              const simple_vector* all_irreversible) {
    return with_escalation("the non-negative conservation relations", [&](auto width) {
        using T = typename decltype(width)::type;
        Kestrane_Tableau<T, Int_Combination<T> > t(Nint_t, all_irreversible, nullptr);
        Kestrane_Iteration iteration(t);
        t.convex_basis(iteration, false);
        require_report_range(t, "NON-NEGATIVE CONSERVATION RELATIONS");
        return Owned_Mat(t.make_mat());
    });
}

Owned_Mat expanded_elementary_modes(const Basis_Tableau& basis, const mat* S) {
    return with_escalation("the elementary modes", [&](auto width) {
        using T = typename decltype(width)::type;
        Kernel_Tableau<T> modes(basis);
        modes.take_time(false);
        modes.start_time();
        modes.elementary_modes(true, true);
        require_report_range(modes, "ELEMENTARY MODES");
        if constexpr (std::is_same_v<T, int>) {
            // The rows of EM stay the mode tableau's: only the record is released.
            const Owned_Reference_Mat EM(modes.make_sorted_ref_mat());
            return Owned_Mat(mult(EM.get(), S, thread_count()));
        } else {
            const Owned_Mat EM(modes.make_sorted_mat());
            return Owned_Mat(mult(EM.get(), S, thread_count()));
        }
    });
}
