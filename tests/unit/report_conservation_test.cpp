#include <gtest/gtest.h>

#include "report/conservation.h"
#include "tests/support/records.h"
#include "tests/support/report_file.h"
#include "tests/support/stops.h"

namespace {

struct Equation_Case {
    const char* title;
    Rows relations;
    const char* text;
};

class Conservation_Equations : public ::testing::TestWithParam<Equation_Case> {};

TEST_P(Conservation_Equations, WritesOneEquationPerRelation) {
    const Equation_Case& c = GetParam();
    Owned_List metabolites = make_list({"A", "B", "C", "D", "Xext"});
    Owned_Mat C = make_mat(c.relations);
    Report_File report;
    crel_equation_output(report.get(), C.get(), metabolites.get());
    EXPECT_EQ(report.text(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Conservation_Equations,
    ::testing::Values(
        Equation_Case{"UnitAndMultipleTerms", {{1, 1, 0, -2}}, " 1 :\tA + B - 2 D = const\n"},
        Equation_Case{"NegativeUnitFirst", {{-1, 1}}, " 1 :\t-A + B = const\n"},
        Equation_Case{"NegativeMultipleFirst", {{-2, 1}}, " 1 :\t-2 A + B = const\n"},
        Equation_Case{
            "PositiveMultipleThenNegativeUnit", {{0, 3, -1, 2}}, " 1 :\t3 B - C + 2 D = const\n"},
        // A relation without terms keeps its label; the next follows on its line.
        Equation_Case{"EmptyRowKeepsLabelOnly", {{0, 0}, {1, -1}}, " 1 :\t 2 :\tA - B = const\n"},
        Equation_Case{"AllZeroWritesNothing", {{0, 0, 0}, {0, 0, 0}}, ""}),
    [](const auto& info) { return std::string(info.param.title); });

TEST(Conservation_Equations_Labels, TwoDigitLabelsUseTheirWidth) {
    Rows relations(10, std::vector<int>{0});
    relations[9][0] = 1;
    Owned_List metabolites = make_list({"A"});
    Owned_Mat C = make_mat(relations);
    Report_File report;
    crel_equation_output(report.get(), C.get(), metabolites.get());
    EXPECT_EQ(report.text(),
              " 1 :\t 2 :\t 3 :\t 4 :\t 5 :\t 6 :\t 7 :\t 8 :\t 9 :\t10 :\tA = const\n");
}

TEST(Conservation_Equations_Range, MostNegativeCoefficientIsWrittenAsItsMagnitude) {
    Owned_List metabolites = make_list({"A", "B"});
    Owned_Mat C = make_mat({{1, -2147483647 - 1}});
    Report_File report;
    crel_equation_output(report.get(), C.get(), metabolites.get());
    EXPECT_EQ(report.text(), " 1 :\tA - 2147483648 B = const\n");
}

}  // namespace
