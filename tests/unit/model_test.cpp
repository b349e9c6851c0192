#include "model/model.h"

#include <gtest/gtest.h>

#include "model/module_values.h"
#include "tests/support/records.h"
#include "tests/support/stops.h"

namespace {

// R1 (reversible) : A = 2.7 X;  R2, R3 (irreversible) : X = A + B and B = -1.5 Y, A internal
// after B in the file, X and Y external.
network_file small_network() {
    network_file file;
    file.reversible_reactions = {"R1"};
    file.irreversible_reactions = {"R2", "R3"};
    file.internal_metabolites = {"B", "A"};
    file.external_metabolites = {"X", "Y"};
    // Rows B, A, X, Y; columns R2, R3 (irreversible first), R1.
    file.coefficients = {{{1, 2}, {-1, ""}},      {{2, 2}, {2.7, "2.7"}}, {{2, 0}, {-1, ""}},
                         {{1, 0}, {1, ""}},       {{0, 0}, {1, ""}},      {{0, 1}, {-1, ""}},
                         {{3, 1}, {-1.5, "-1.5"}}};
    return file;
}

TEST(Model, RowsAndColumnsInModelOrderWithTruncatedCoefficients) {
    const network_file file = small_network();
    const network_model model = build_model(file);
    EXPECT_EQ(rows_of(model.N.get()), (Rows{{1, -1, 0}, {1, 0, -1}, {-1, 0, 2}, {0, -1, 0}}));
    EXPECT_EQ(rows_of(model.Nint.get()), (Rows{{1, -1, 0}, {1, 0, -1}}));
    EXPECT_EQ(values_of(model.rev.get()), (std::vector<int>{1, 1, 0}));
    EXPECT_EQ(values_of(model.ext.get()), (std::vector<int>{0, 0, 1, 1}));

    std::vector<std::string> reactions;
    for (const enc* node = model.enzymes->next; !is_tail(node); node = node->next)
        reactions.push_back(node->name + ":" + std::to_string(node->flag));
    EXPECT_EQ(reactions, (std::vector<std::string>{"R2:1", "R3:1", "R1:0"}));

    // Per metabolite: consumed in, produced in, reactions, and their kinds in column order.
    std::vector<std::string> counts;
    for (const enc* node = model.metabolite_list->next; !is_tail(node); node = node->next)
        counts.push_back(node->name + " " + std::to_string(node->cons) + " " +
                         std::to_string(node->built) + " " + std::to_string(node->reactions) + " " +
                         node->reaction_kinds);
    EXPECT_EQ(counts,
              (std::vector<std::string>{"B 1 1 2 ii", "A 1 1 2 ir", "X 1 1 2 ir", "Y 1 0 1 i"}));
    EXPECT_EQ(enzyme_counter, 3);
    EXPECT_EQ(met_counter, 4);
    EXPECT_EQ(mets_cumul, (std::vector<int>{2, 2, 2, 1}));
    EXPECT_STREQ(metabolites[1], "A");
}

TEST(ModelDeathTest, RefusesCoefficientBeyond32Bits) {
    network_file file = small_network();
    file.coefficients[{3, 1}] = {-2147483649.0, "-2147483649"};
    EXPECT_STOPS_PRINTING(build_model(file),
                          "The coefficient -2147483649 of metabolite Y in reaction R3 does not fit "
                          "a 32-bit integer.\nCheck your input file.\n");
}

TEST(ModelDeathTest, RefusesNetworkWithoutInternalMetabolites) {
    network_file file = small_network();
    file.internal_metabolites.clear();
    file.coefficients = {{{0, 0}, {1, ""}}};
    EXPECT_STOPS_PRINTING(
        build_model(file),
        "\nThe system comprises only external metabolites.\n\r                  \r");
}

}  // namespace
