#include <gtest/gtest.h>

#include <string>

#include "report/checks.h"
#include "report/comparison.h"
#include "report/conservation.h"
#include "report/enzyme_listing.h"
#include "report/listings.h"
#include "tests/support/records.h"
#include "tests/support/report_file.h"

namespace {

// Values of 33 to 131 bits (2^32, 2^64, 2^100, 2^130 and their neighbours, worked out with
// Python) are listed with their decimal digits, exactly where a 32-bit value would stand.
const std::string two_32 = "4294967296";
const std::string two_64 = "18446744073709551616";
const std::string two_100 = "1267650600228229401496703205376";
const std::string two_130 = "1361129467683753853853498429727072845824";

TEST(Wide_Listings, MatrixRowsOfEveryWidth) {
    const struct {
        const char* name;
        Digit_Rows rows;
        const char* text;
    } cases[] = {
        {"64 bits",
         {{"0", "0"}, {"-" + two_32, "1"}},
         " \n matrix dimension r1 x c2\n-4294967296 1\n"},
        {"128 bits",
         {{two_100, "0", "-3"}},
         " \n matrix dimension r1 x c3\n1267650600228229401496703205376 0 -3\n"},
        {"unbounded",
         {{"-" + two_130}, {"0"}},
         " \n matrix dimension r1 x c1\n-1361129467683753853853498429727072845824\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Report_File report;
        EXPECT_EQ(fmatoutput(wide_mat_of(c.rows), report.get()), 1);
        EXPECT_EQ(report.text(), c.text);
    }
}

TEST(Wide_Listings, OverallReactionsAndEquations) {
    Owned_List metabolites = make_list({"A", "B", "X", "Y"});
    Report_File overall;
    foveralloutput(wide_mat_of({{"-" + two_130, "1", "0", two_64}, {"0", "0", "0", "0"}}),
                   metabolites.get(), overall.get());
    EXPECT_EQ(overall.text(), "\n overall reaction\n\n 1:\t" + two_130 + " A = B + " + two_64 +
                                  " Y\n 2:\tno net transfomation of external metabolites\n");
    Report_File equations;
    crel_equation_output(equations.get(), wide_mat_of({{two_32, "-1", "-" + two_100, "1"}}),
                         metabolites.get());
    EXPECT_EQ(equations.text(), " 1 :\t" + two_32 + " A - B - " + two_100 + " X + Y = const\n");
}

TEST(Wide_Listings, ReactionsOfModesAndTheirChecks) {
    fenzymeoutput_calls = 0;
    Owned_List enzymes = make_list({"R1", "R2", "R3"});
    const Wide_Mat modes = wide_mat_of({{two_64, "0", "-1"}, {"0", "2", "0"}, {"5", "0", "7"}});
    Report_File report;
    EXPECT_EQ(fenzymeoutput(modes, enzymes.get(), report.get(), nullptr), 3);
    ::testing::internal::CaptureStdout();
    control_modi(modes, report.get(), enzymes.get());
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "\nElementary mode 3 (2) and 1 (2) are identical.\n");
    EXPECT_EQ(report.text(), "\n 1:\t (" + two_64 +
                                 " R1) (-1 R3)\n 2:\t (2 R2)\n 3:\t (5 R1) (7 R3)\n"
                                 "\nElementary mode 1 (2) and 3 (2) are identical.\n");
    fenzymeoutput_calls = 0;
}

// A convex basis in 32 bits against modes that need more, and the other way round: rows are
// equal by their values, whatever widths hold them.
TEST(Wide_Listings, ComparisonAcrossWidths) {
    const Wide_Mat narrow_basis = make_mat({{1, 1, 0}, {0, 1, 1}});
    const Wide_Mat wide_modes =
        wide_mat_of({{two_100, "1", "0"}, {"1", "1", "0"}, {"0", "1", "1"}});
    const Basis_Comparison found = compare_with_basis(narrow_basis, wide_modes);
    EXPECT_TRUE(found.non_elementary.empty());
    EXPECT_EQ(found.equal_to_basis, (std::vector<unsigned char>{0, 1, 1}));

    const Wide_Mat wide_basis = wide_mat_of({{two_130, "0", "1"}, {"0", "3", "0"}});
    const Wide_Mat narrow_modes = make_mat({{0, 3, 0}, {1, 0, 1}});
    const Basis_Comparison other = compare_with_basis(wide_basis, narrow_modes);
    EXPECT_TRUE(other.non_elementary.empty());
    EXPECT_EQ(other.equal_to_basis, (std::vector<unsigned char>{1, 0}));
}

}  // namespace
