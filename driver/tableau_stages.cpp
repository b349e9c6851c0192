#include "driver/tableau_stages.h"

#include <type_traits>
#include <utility>
#include <variant>

#include "driver/escalation.h"
#include "matrix/products.h"
#include "tableau/kernel_tableau.h"
#include "tableau/worker_pool.h"

namespace {

// The tableau t after its convex basis has been computed, in the narrowest coefficients that
// hold the basis: t itself, or a copy when the basis fits narrower ones than t computed it in.
template <typename T>
Basis_Tableau narrowest_tableau(Owned_Basis_Tableau<T> t) {
    return std::visit(
        [&](auto width) -> Basis_Tableau {
            using W = typename decltype(width)::type;
            if constexpr (std::is_same_v<W, T>) {
                return std::move(t);
            } else {
                return std::make_unique<Kestrane_Tableau<W, Int_Combination<W> > >(*t);
            }
        },
        width_at(t->rows_width_needed()));
}

}  // namespace

Reduced_Basis reduced_convex_basis(Wide_View R, const simple_vector* srev) {
    return with_escalation("the convex basis", R.width(), [&](auto width) {
        using T = typename decltype(width)::type;
        auto t = std::make_unique<Kestrane_Tableau<T, Int_Combination<T> > >(R, srev, nullptr);
        Kestrane_Iteration iteration(*t);
        t->convex_basis(iteration, false);
        Wide_Mat vectors = t->make_mat();
        return Reduced_Basis{std::move(vectors), narrowest_tableau(std::move(t))};
    });
}

Wide_Mat non_negative_conservation_relations(const mat* Nint_t,
                                             const simple_vector* all_irreversible) {
    return with_escalation("the non-negative conservation relations", 0, [&](auto width) {
        using T = typename decltype(width)::type;
        Kestrane_Tableau<T, Int_Combination<T> > t(Nint_t, all_irreversible, nullptr);
        Kestrane_Iteration iteration(t);
        t.convex_basis(iteration, false);
        return t.make_mat();
    });
}

Wide_Mat expanded_elementary_modes(const Basis_Tableau& basis, Wide_View S) {
    return std::visit(
        [&](const auto& basis_tableau) {
            return with_escalation("the elementary modes", basis.index(), [&](auto width) {
                using T = typename decltype(width)::type;
                Kernel_Tableau<T> modes(*basis_tableau);
                modes.take_time(false);
                modes.start_time();
                modes.elementary_modes(true, true);
                if constexpr (std::is_same_v<T, int>) {
                    // The rows of EM stay the mode tableau's: only the record is released.
                    const Owned_Reference_Mat EM(modes.make_sorted_ref_mat());
                    return mult(EM.get(), S, thread_count());
                } else {
                    const Wide_Mat EM = modes.make_sorted_mat();
                    return mult(EM, S, thread_count());
                }
            });
        },
        basis);
}
