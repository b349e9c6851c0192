#include <gtest/gtest.h>

#include "report/checks.h"
#include "tests/support/records.h"
#include "tests/support/report_file.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

TEST(Unbalanced_Internal_Mets, NamesMetabolitesOfExactlyOneReaction) {
    Owned_List metabolites = make_list({"A", "B", "C", "Xext"});
    Owned_Mat N = make_mat({{1, 0, 0}, {1, -1, 0}, {0, 0, -2}});
    Report_File report;
    CaptureStdout();
    unbalanced_internal_mets(N.get(), report.get(), metabolites.get());
    EXPECT_EQ(GetCapturedStdout(),
              "\nNOT BALANCED INTERNAL METABOLITES\n(should be set as external)\nA\tC\t\n");
    EXPECT_EQ(report.text(), "\nNOT BALANCED INTERNAL METABOLITES\nA\tC\t\n");
}

TEST(Unbalanced_Internal_Mets, BalancedNetworkGivesOnlyLineEnds) {
    Owned_List metabolites = make_list({"A", "B"});
    Owned_Mat N = make_mat({{1, -1, 0}, {0, 1, -1}});
    Report_File report;
    CaptureStdout();
    unbalanced_internal_mets(N.get(), report.get(), metabolites.get());
    EXPECT_EQ(GetCapturedStdout(), "\n");
    EXPECT_EQ(report.text(), "\n");
}

struct Mode_Check_Case {
    const char* title;
    Rows modes;
    const char* console;
    const char* report;
};

class Mode_Check : public ::testing::TestWithParam<Mode_Check_Case> {};

TEST_P(Mode_Check, ReportsNestedModesAndUnusedReactions) {
    const Mode_Check_Case& c = GetParam();
    Owned_List enzymes = make_list({"R1", "R2", "R3", "R4", "R5"});
    Owned_Mat M = make_mat(c.modes);
    Report_File report;
    CaptureStdout();
    control_modi(M.get(), report.get(), enzymes.get());
    EXPECT_EQ(GetCapturedStdout(), c.console);
    EXPECT_EQ(report.text(), c.report);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Mode_Check,
    ::testing::Values(
        Mode_Check_Case{"LargerSecond",
                        {{1, 1, 0}, {2, 1, 1}},
                        "\nElementary mode 2 (3) contains elementary mode 1 (2).\n",
                        "\nElementary mode 2 (3) contains elementary mode 1 (2).\n"},
        Mode_Check_Case{"LargerFirst",
                        {{1, 1, 1}, {1, -1, 0}},
                        "\nElementary mode 1 (3) contains elementary mode 2 (2).\n",
                        "\nElementary mode 1 (3) contains elementary mode 2 (2).\n"},
        // Same reaction set with other coefficients: the console names the later mode first.
        Mode_Check_Case{"IdenticalSets",
                        {{1, 1, 1, 1, 0}, {0, 0, 0, 0, 1}, {2, -1, 3, 1, 0}},
                        "\nElementary mode 3 (4) and 1 (4) are identical.\n",
                        "\nElementary mode 1 (4) and 3 (4) are identical.\n"},
        Mode_Check_Case{"DisjointAndZeroRowsOneUnusedReaction",
                        {{1, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 0}},
                        "",
                        "\nR4\t\n1 enzyme is not involved in reactions.\n"},
        Mode_Check_Case{"ThreeUnusedReactions",
                        {{1, 0, 0, 0, 0}, {0, -1, 0, 0, 0}},
                        "",
                        "\nR3\tR4\tR5\t\n3 enzymes are not involved in reactions.\n"}),
    [](const auto& info) { return std::string(info.param.title); });

}  // namespace
