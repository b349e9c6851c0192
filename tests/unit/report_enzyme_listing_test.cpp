#include <gtest/gtest.h>

#include "report/enzyme_listing.h"
#include "tests/support/records.h"
#include "tests/support/report_file.h"

namespace {

// Block membership table for r reactions: block_of[o] is the 1-based block of reaction o, 0 for
// none; entry t x r + o holds t + 1 for reaction o in block t.
std::vector<int> block_table(const std::vector<int>& block_of) {
    const int r = static_cast<int>(block_of.size());
    std::vector<int> table((r + 1) * (r + 1), 0);
    for (int o = 0; o < r; ++o)
        if (block_of[o] != 0) table[block_of[o] * r + o] = block_of[o] + 1;
    return table;
}

class Enzyme_Listing : public ::testing::Test {
   protected:
    // Every test starts as a fresh run.
    void SetUp() override { fenzymeoutput_calls = 0; }
    void TearDown() override { fenzymeoutput_calls = 0; }

    // Three listings as the run makes them before the elementary modes.
    void make_first_three_calls() {
        Owned_Mat m = make_mat({{1, 0, 0, 0, 0, 0, 0}});
        Report_File scratch;
        for (int call = 0; call < 3; ++call)
            fenzymeoutput(m.get(), enzymes.get(), scratch.get(), nullptr);
    }

    Owned_List enzymes = make_list({"R1", "R2", "R3", "R4", "R5", "R6", "R7"});
    Report_File report;
};

TEST_F(Enzyme_Listing, EmptyRowsWithdrawnAndLabelsKeepRowNumbers) {
    Owned_Mat m = make_mat({{1, 0, 0, -2, 0, 0, 1}, {0, 0, 0, 0, 0, 0, 0}, {0, 3, 0, 0, 0, 0, 0}});
    EXPECT_EQ(fenzymeoutput(m.get(), enzymes.get(), report.get(), nullptr), 3);
    EXPECT_EQ(report.text(), "\n 1:\t (1 R1) (-2 R4) (1 R7)\n 3:\t (3 R2)\n");
}

TEST_F(Enzyme_Listing, NotFoundWhenNoRowNamesAReaction) {
    Owned_Mat zero = make_mat({{0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0}});
    EXPECT_EQ(fenzymeoutput(zero.get(), enzymes.get(), report.get(), nullptr), 2);
    Owned_Mat rowless = make_rowless_mat(7);
    EXPECT_EQ(fenzymeoutput(rowless.get(), enzymes.get(), report.get(), nullptr), 0);
    EXPECT_EQ(report.text(), " - not found -\n\n - not found -\n\n");
}

TEST_F(Enzyme_Listing, NameWithBlankGetsExtraParenthesesOnlyForUnitCoefficients) {
    Owned_List spaced = make_list({"R 1", "R2"});
    Owned_Mat m = make_mat({{1, -1}, {-1, 0}, {2, 1}});
    fenzymeoutput(m.get(), spaced.get(), report.get(), nullptr);
    EXPECT_EQ(report.text(),
              "\n 1:\t ((1 R 1)) (-1 R2)"
              "\n 2:\t ((-1 R 1))"
              "\n 3:\t (2 R 1) (1 R2)"
              "\n");
}

TEST_F(Enzyme_Listing, NoCountsOrTagsBeforeTheFourthCall) {
    const std::vector<int> table = block_table({1, 1, 1, 1, 1, 1, 1});
    Owned_Mat m = make_mat({{1, 0, 0, -2, 0, 0, 1}});
    for (int call = 0; call < 3; ++call)
        fenzymeoutput(m.get(), enzymes.get(), report.get(), table.data());
    const std::string plain = "\n 1:\t (1 R1) (-2 R4) (1 R7)\n";
    EXPECT_EQ(report.text(), plain + plain + plain);
}

TEST_F(Enzyme_Listing, FourthCallCountsReactionsAndTagsBlocks) {
    make_first_three_calls();
    const std::vector<int> table = block_table({1, 2, 2, 1, 3, 3, 1});
    Owned_Mat m = make_mat({{0, 0, 0, 0, 0, 0, 0}, {1, 0, 0, -2, 0, 0, 1}, {0, 0, 0, 0, 4, 1, 0}});
    EXPECT_EQ(fenzymeoutput(m.get(), enzymes.get(), report.get(), table.data()), 3);
    EXPECT_EQ(report.text(),
              "\n 2: ( 3) [bl 1]  (1 R1) (-2 R4) (1 R7)"
              "\n 3: ( 2) [bl 3]  (4 R5) (1 R6)"
              "\n");
}

TEST_F(Enzyme_Listing, ModeInTwoBlocksGetsTwoTagsAndTheNote) {
    make_first_three_calls();
    const std::vector<int> table = block_table({0, 1, 1, 0, 2, 0, 0});
    Owned_Mat m = make_mat({{0, 1, 1, 0, 1, 0, 0}, {0, 2, 1, 0, 0, 0, 0}});
    fenzymeoutput(m.get(), enzymes.get(), report.get(), table.data());
    EXPECT_EQ(report.text(),
              "\n 1: ( 3) [bl 1] [bl 2]  (1 R2) (1 R3) (1 R5)"
              "\n 2: ( 2) [bl 1]  (2 R2) (1 R3)"
              "\n"
              "\nAt least one elementary mode belongs to more than one block");
}

// Every reaction a block of its own: the last block has the number of reactions and still
// gets its tag.
TEST_F(Enzyme_Listing, LastPossibleBlockIsTagged) {
    make_first_three_calls();
    Owned_List two = make_list({"R1", "R2"});
    const std::vector<int> table = block_table({1, 2});
    Owned_Mat m = make_mat({{1, 1}});
    fenzymeoutput(m.get(), two.get(), report.get(), table.data());
    EXPECT_EQ(report.text(),
              "\n 1: ( 2) [bl 1] [bl 2]  (1 R1) (1 R2)\n"
              "\nAt least one elementary mode belongs to more than one block");
}

// A mode outside every block carries no tag; another mode in two blocks still gets the note,
// although the tags do not outnumber the modes.
TEST_F(Enzyme_Listing, NoteDependsOnTheModeInTwoBlocksNotOnTheTagTotal) {
    make_first_three_calls();
    const std::vector<int> table = block_table({1, 2, 0, 0, 0, 0, 0});
    Owned_Mat m = make_mat({{1, 1, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 0, 0}});
    fenzymeoutput(m.get(), enzymes.get(), report.get(), table.data());
    EXPECT_EQ(report.text(),
              "\n 1: ( 2) [bl 1] [bl 2]  (1 R1) (1 R2)"
              "\n 2: ( 1)  (1 R3)"
              "\n"
              "\nAt least one elementary mode belongs to more than one block");
}

}  // namespace
