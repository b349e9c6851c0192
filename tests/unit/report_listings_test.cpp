#include <gtest/gtest.h>

#include "report/listings.h"
#include "tests/support/records.h"
#include "tests/support/report_file.h"
#include "tests/support/stops.h"

namespace {

struct Matrix_Listing_Case {
    const char* title;
    Rows rows;
    const char* text;
    int printed;
};

class Matrix_Listing : public ::testing::TestWithParam<Matrix_Listing_Case> {};

TEST_P(Matrix_Listing, WritesNonZeroRowsAndCountsThem) {
    const Matrix_Listing_Case& c = GetParam();
    Owned_Mat m = make_mat(c.rows);
    Report_File report;
    EXPECT_EQ(fmatoutput(m.get(), report.get()), c.printed);
    EXPECT_EQ(report.text(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Matrix_Listing,
    ::testing::Values(Matrix_Listing_Case{"ZeroRowLeftOut",
                                          {{1, 0, -2}, {0, 0, 0}, {3, 1, 0}},
                                          " \n matrix dimension r2 x c3\n1 0 -2\n3 1 0\n",
                                          2},
                      Matrix_Listing_Case{"AllZeroWritesNothing", {{0, 0}, {0, 0}}, "", 0},
                      Matrix_Listing_Case{"PlainNumbersWithoutWidth",
                                          {{-12, 345, 0, 7}},
                                          " \n matrix dimension r1 x c4\n-12 345 0 7\n",
                                          1}),
    [](const auto& info) { return std::string(info.param.title); });

TEST(Matrix_Listing_Edge, MatrixWithoutRowsWritesNothing) {
    Owned_Mat m = make_rowless_mat(3);
    Report_File report;
    EXPECT_EQ(fmatoutput(m.get(), report.get()), 0);
    EXPECT_EQ(report.text(), "");
}

TEST(Vector_Listing, FlagsRightAlignedInTwoPlacesWithBlank) {
    Owned_Vector v = make_vector({0, 1, 1, 10});
    Report_File report;
    fvectoroutput(v.get(), report.get());
    EXPECT_EQ(report.text(),
              "The following line indicates reversible (0) and irreversible reactions (1)\n"
              " 0  1  1 10 \n");
}

class Overall_Listing : public ::testing::Test {
   protected:
    Owned_List metabolites = make_list({"A", "B", "X", "Y"});
    Report_File report;
};

TEST_F(Overall_Listing, BothSidesNoNetExchangeAndOneSidedRows) {
    Owned_Mat m =
        make_mat({{-1, -2, 1, 0}, {0, 0, 0, 0}, {0, 0, 3, 1}, {-1, 0, 0, -4}, {2, -1, 0, 0}});
    foveralloutput(m.get(), metabolites.get(), report.get());
    EXPECT_EQ(report.text(),
              "\n overall reaction\n"
              "\n 1:\tA + 2 B = X"
              "\n 2:\tno net transfomation of external metabolites"
              "\n 3:\t = 3 X + Y"
              "\n 4:\tA + 4 Y = "
              "\n 5:\tB = 2 A"
              "\n");
}

TEST_F(Overall_Listing, NotFoundWhenNoModeExchangesAnything) {
    Owned_Mat zero = make_mat({{0, 0, 0, 0}, {0, 0, 0, 0}});
    foveralloutput(zero.get(), metabolites.get(), report.get());
    Owned_Mat rowless = make_rowless_mat(4);
    foveralloutput(rowless.get(), metabolites.get(), report.get());
    const std::string not_found = "\n overall reaction\n - not found -\n\n";
    EXPECT_EQ(report.text(), not_found + not_found);
}

// A consumed amount is written as the magnitude of its coefficient, also where that is the most
// negative 32-bit value.
TEST_F(Overall_Listing, ConsumedAmountOfTheMostNegativeValue) {
    Owned_Mat m = make_mat({{0, 0, 3, 1}, {-1, -2147483647 - 1, 1, 0}});
    foveralloutput(m.get(), metabolites.get(), report.get());
    EXPECT_EQ(report.text(),
              "\n overall reaction\n"
              "\n 1:\t = 3 X + Y"
              "\n 2:\tA + 2147483648 B = X\n");
}

// The metabolite list holds the internal metabolites first; the branch flags cover only those.
class Branch_Listing : public ::testing::Test {
   protected:
    void SetUp() override {
        struct Counts {
            int cons, built, reactions;
            const char* kinds;
        };
        const Counts counts[] = {
            {1, 2, 3, "iir"}, {0, 1, 1, "r"}, {2, 0, 2, "ii"}, {1, 1, 2, "ri"}};
        int i = 0;
        for (enc* node = metabolites->next; !is_tail(node); node = node->next, ++i) {
            node->cons = counts[i].cons;
            node->built = counts[i].built;
            node->reactions = counts[i].reactions;
            node->reaction_kinds = counts[i].kinds;
        }
    }
    Owned_List metabolites = make_list({"A", "Glucose_6_phosphate", "C", "Xext"});
    Report_File report;
};

std::string padded(const std::string& name) { return name + std::string(20 - name.size(), ' '); }

TEST_F(Branch_Listing, SplitsInternalMetabolitesByFlag) {
    const Owned_Vector branch = make_vector({1, 0, 1});
    fout_branches(report.get(), branch.get(), metabolites.get());
    EXPECT_EQ(report.text(), "\n-> Branch metabolites are : \n" + padded("met") +
                                 "\tcons\tbuilt\treactions"
                                 "\n" +
                                 padded("A") +
                                 "\t1\t2\t3\tiir"
                                 "\n" +
                                 padded("C") +
                                 "\t2\t0\t2\tii"
                                 "\n"
                                 "\n-> No branch metabolites are : \n" +
                                 padded("met") +
                                 "\tcons\tbuilt\treactions"
                                 "\n" +
                                 padded("Glucose_6_phosphate") +
                                 "\t0\t1\t1\tr"
                                 "\n");
}

TEST_F(Branch_Listing, AbsentFlagsListNoMetabolite) {
    fout_branches(report.get(), nullptr, metabolites.get());
    EXPECT_EQ(report.text(), "\n-> Branch metabolites are : \n" + padded("met") +
                                 "\tcons\tbuilt\treactions\n"
                                 "\n-> No branch metabolites are : \n" +
                                 padded("met") + "\tcons\tbuilt\treactions\n");
}

}  // namespace
