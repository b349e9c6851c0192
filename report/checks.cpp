#include "report/checks.h"

#include <vector>

#include "report/row_support.h"
#include "report/support_sets.h"

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

// Reports rows d < g whose reaction sets are equal or one inside the other. Returns whether
// any pair was reported. Only the reaction sets count, not the coefficients: with nd and ng
// reactions, a pair is reported when the smaller set lies inside the larger one (both equal
// when nd = ng); rows without reactions are never reported.
bool report_nested_modes(const mat* M, FILE* file) {
    const Support_Sets supports(M);
    std::vector<unsigned char> nested(M->rows > 0 ? M->rows : 0);
    bool reported = false;
    for (int d = 0; d < M->rows; ++d) {
        const int nd = supports.size(d);
        if (nd == 0) continue;
        supports.find_nested(d, d + 1, M->rows, nested.data());
        for (int g = d + 1; g < M->rows; ++g) {
            const int ng = supports.size(g);
            if (!nested[g - d - 1] || ng == 0) continue;
            reported = true;
            if (nd != ng) {
                // The row with more reactions contains the other.
                const int outer = ng > nd ? g : d, n_outer = ng > nd ? ng : nd;
                const int inner = ng > nd ? d : g, n_inner = ng > nd ? nd : ng;
                printf("\nElementary mode %d (%d) contains elementary mode %d (%d).", outer + 1,
                       n_outer, inner + 1, n_inner);
                fprintf(file, "\nElementary mode %d (%d) contains elementary mode %d (%d).",
                        outer + 1, n_outer, inner + 1, n_inner);
            } else {
                // The console names the later mode first, the report the earlier one.
                printf("\nElementary mode %d (%d) and %d (%d) are identical.", g + 1, nd, d + 1,
                       nd);
                fprintf(file, "\nElementary mode %d (%d) and %d (%d) are identical.", d + 1, nd,
                        g + 1, nd);
            }
        }
    }
    return reported;
}

// True when every row of M holds 0 in column e.
bool column_is_unused(const mat* M, int e) {
    for (int d = 0; d < M->rows; ++d)
        if (M->head[d][e] != 0) return false;
    return true;
}

}  // namespace

void control_modi(const mat* M, FILE* file, const enc* enzymes) {
    if (report_nested_modes(M, file)) {
        printf("\n");
        fprintf(file, "\n");
    }

    int unused = 0;
    const enc* node = enzymes->next;
    for (int e = 0; e < M->columns && !is_tail(node); ++e, node = node->next) {
        if (!column_is_unused(M, e)) continue;
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
