#include <gtest/gtest.h>

#include "matrix/branch.h"
#include "matrix/reduction.h"
#include "matrix/row_removal.h"
#include "tests/support/records.h"

namespace {

struct Cancelling_Case {
    const char* name;
    std::vector<int> flags;
    std::vector<int> cancelled;  // in the order of cancelling
    Rows s;                      // what stays of S
    std::vector<int> srev;       // what stays of srev
};

// S has three subsets, the first and the last irreversible.
const Rows subsets = {{1, 1, 0, 0}, {0, 0, 2, 1}, {0, 0, 0, 1}};
const std::vector<int> subset_rev = {1, 0, 1};

class Cancelling : public ::testing::TestWithParam<Cancelling_Case> {};

TEST_P(Cancelling, RemovesFlaggedSubsetsLastFirst) {
    const Cancelling_Case& c = GetParam();
    Wide_Mat s = make_mat(subsets);
    Owned_Vector srev = make_vector(subset_rev);
    EXPECT_EQ(cancel_contradictory_subsets(s, srev.get(), c.flags.data()), c.cancelled);
    EXPECT_EQ(rows_of(s), c.s);
    EXPECT_EQ(values_of(srev.get()), c.srev);
}

INSTANTIATE_TEST_SUITE_P(
    Reduction, Cancelling,
    ::testing::Values(Cancelling_Case{"None", {0, 0, 0}, {}, subsets, subset_rev},
                      Cancelling_Case{"FirstAndLast", {1, 0, 1}, {2, 0}, {{0, 0, 2, 1}}, {0}},
                      Cancelling_Case{
                          "Middle", {0, 1, 0}, {1}, {{1, 1, 0, 0}, {0, 0, 0, 1}}, {1, 1}},
                      Cancelling_Case{"All", {1, 1, 1}, {2, 1, 0}, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct Reduced {
    Rows r;
    int columns;
    std::vector<int> branch;
    std::string console;
};

Reduced reduced_of(const Rows& nint, const Owned_Mat& s) {
    Owned_Mat n = make_mat(nint);
    ::testing::internal::CaptureStdout();
    const Reduced_System system = reduced_system(n.get(), s.get());
    Reduced out{rows_of(system.R), system.R.columns(), values_of(system.branch.get()),
                ::testing::internal::GetCapturedStdout()};
    EXPECT_EQ(branch_status, branch_state::absent);
    EXPECT_EQ(branch, nullptr);
    return out;
}

// R = Nint x transp(S): metabolite A is balanced within the first subset and C takes part in no
// subset, so only B and D are branch points; their rows are divided by their common factors.
TEST(Reduction, ReducedSystemKeepsBranchPointRows) {
    const Rows nint = {{1, -1, 0}, {0, 2, -2}, {0, 0, 0}, {2, 0, 4}};
    const Reduced r = reduced_of(nint, make_mat({{1, 1, 0}, {0, 0, 1}}));
    EXPECT_EQ(r.r, (Rows{{1, -1}, {1, 2}}));
    EXPECT_EQ(r.branch, (std::vector<int>{0, 1, 0, 1}));
    EXPECT_EQ(r.console, "\nBranches 0101\n");
}

// With every subset cancelled there is nothing to reduce: no rows, no columns, no branch point.
TEST(Reduction, NoSubsetLeavesAnEmptySystem) {
    Owned_Mat s = make_mat({{1, 1, 0}});
    delete_zero_line(s.get(), 0);
    const Reduced r = reduced_of({{1, -1, 0}, {0, 1, -1}}, s);
    EXPECT_TRUE(r.r.empty());
    EXPECT_EQ(r.columns, 0);
    EXPECT_EQ(r.branch, (std::vector<int>{0, 0}));
    EXPECT_EQ(r.console, "\nBranches 00\n");
}

}  // namespace
