#include "statistics/participation.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <string>
#include <vector>

#include "matrix/overflow.h"
#include "matrix/owned_records.h"
#include "model/module_values.h"
#include "statistics/regression.h"

namespace {

// Metabolite indices, most reactions first; equal counts keep row order, so metabolites in
// no reaction come last in row order.
std::vector<int> listing_order() {
    std::vector<int> order(static_cast<std::size_t>(met_counter));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [](int a, int b) { return mets_cumul[a] > mets_cumul[b]; });
    return order;
}

// Writes the kind of every node among the first met_counter data nodes that bears the name.
void write_kind(FILE* report, const enc* metabolite_list, const char* name) {
    const enc* node = metabolite_list->next;
    for (int m = 0; m < met_counter && !is_tail(node); ++m, node = node->next) {
        if (node->name != name) continue;
        if (node->flag != 0)
            fprintf(report, "external ");
        else
            fprintf(report, "int      ");
    }
}

}  // namespace

int save_frequency_of_metabolites_in_output(FILE* report, enc* metabolite_list) {
    int max = 0;
    for (int i = 0; i < met_counter; ++i) max = std::max(max, mets_cumul[i]);
    const Owned_Array<int> histogram =
        zero_filled<int>(static_cast<std::size_t>(max) + 1, "edges_nodes not allocated.");

    fprintf(report, "\n");
    std::int64_t total = 0;
    for (int i : listing_order()) {
        ++histogram[mets_cumul[i]];
        fprintf(report, "%3d ", mets_cumul[i]);
        write_kind(report, metabolite_list, metabolites[i]);
        fprintf(report, "%s\n", metabolites[i]);
        total += mets_cumul[i];
        mets_cumul[i] = 0;
    }
    // The total counts the non-zero entries of the stoichiometric matrix.
    fprintf(report, "%3d metabolites, %3d is the summarized frequency\n", met_counter,
            fit_int(total, "summarized frequency of metabolites"));

    save_frequency_of_edges_and_nodes(report, histogram.get(), max);
    return 0;
}
