#include "report/checks.h"

#include <utility>
#include <vector>

#include "report/row_support.h"
#include "report/support_tree.h"

void unbalanced_internal_mets(const mat* N, FILE* file, const enc* metabolites) {
    bool caption_written = false;
    const enc* node = metabolites->next;
    for (int d = 0; d < N->rows && !is_tail(node); ++d, node = node->next) {
        if (count_nonzero(N->head[d], N->columns) != 1) continue;
        if (!caption_written) {
            printf("\nNOT BALANCED INTERNAL METABOLITES\n(should be set as external)\n");
            fprintf(file, "\nNOT BALANCED INTERNAL METABOLITES\n");
            caption_written = true;
        }
        printf("%s\t", node->name.c_str());
        fprintf(file, "%s\t", node->name.c_str());
    }
    printf("\n");
    fprintf(file, "\n");
}

namespace {

// Reports the rows d < g of `pairs` (nested_support_pairs(M): their reaction sets are equal or
// one inside the other, ordered by d, then g). Returns whether any pair was reported. Only the
// reaction sets count, not the coefficients: with nd and ng reactions, a pair is reported when
// the smaller set lies inside the larger one (both equal when nd = ng); rows without reactions
// are never reported.
template <typename T>
bool report_nested_modes(const basic_mat<T>* M, FILE* file,
                         const std::vector<std::pair<int, int> >& pairs) {
    for (const auto& [d, g] : pairs) {
        const int nd = count_nonzero(M->head[d], M->columns);
        const int ng = count_nonzero(M->head[g], M->columns);
        if (nd != ng) {
            // The row with more reactions contains the other.
            const int outer = ng > nd ? g : d, n_outer = ng > nd ? ng : nd;
            const int inner = ng > nd ? d : g, n_inner = ng > nd ? nd : ng;
            printf("\nElementary mode %d (%d) contains elementary mode %d (%d).", outer + 1,
                   n_outer, inner + 1, n_inner);
            fprintf(file, "\nElementary mode %d (%d) contains elementary mode %d (%d).", outer + 1,
                    n_outer, inner + 1, n_inner);
        } else {
            // The console names the later mode first, the report the earlier one.
            printf("\nElementary mode %d (%d) and %d (%d) are identical.", g + 1, nd, d + 1, nd);
            fprintf(file, "\nElementary mode %d (%d) and %d (%d) are identical.", d + 1, nd, g + 1,
                    nd);
        }
    }
    return !pairs.empty();
}

// Per column of M: whether some row holds a non-zero entry there. One pass over the rows, which
// stops as soon as every column is used.
template <typename T>
std::vector<unsigned char> used_columns(const basic_mat<T>* M) {
    std::vector<unsigned char> used(M->columns > 0 ? M->columns : 0, 0);
    int unused = M->columns;
    for (int d = 0; d < M->rows && unused > 0; ++d) {
        for (int e = 0; e < M->columns; ++e) {
            if (used[e] || M->head[d][e] == 0) continue;
            used[e] = 1;
            --unused;
        }
    }
    return used;
}

// The checks of control_modi on a record of width T.
template <typename T>
void write_checks(const basic_mat<T>* M, FILE* file, const enc* enzymes,
                  const std::vector<std::pair<int, int> >& nested) {
    if (report_nested_modes(M, file, nested)) {
        printf("\n");
        fprintf(file, "\n");
    }

    const std::vector<unsigned char> used = used_columns(M);
    int unused = 0;
    const enc* node = enzymes->next;
    for (int e = 0; e < M->columns && !is_tail(node); ++e, node = node->next) {
        if (used[e]) continue;
        if (unused == 0)
            fprintf(file, "\n%s\t", node->name.c_str());
        else
            fprintf(file, "%s\t", node->name.c_str());
        ++unused;
    }
    if (unused == 1)
        fprintf(file, "\n%d enzyme is not involved in reactions.\n", unused);
    else if (unused > 1)
        fprintf(file, "\n%d enzymes are not involved in reactions.\n", unused);
}

}  // namespace

void control_modi(Wide_View M, FILE* file, const enc* enzymes) {
    control_modi(M, file, enzymes, nested_support_pairs(M));
}

void control_modi(Wide_View M, FILE* file, const enc* enzymes,
                  const std::vector<std::pair<int, int> >& nested) {
    M.visit([&](const auto* record) { write_checks(record, file, enzymes, nested); });
}
