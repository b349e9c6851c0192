#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "tableau/candidates.h"
#include "tableau/condition_seven_rows.h"
#include "tableau/kernel_tableau.h"
#include "tableau/pattern_table.h"
#include "tableau/worker_pool.h"
#include "tableau_fixture.h"

namespace {

using Rows = std::vector<std::vector<int> >;

// An elementary-mode tableau whose slots 0.. hold `rows` (status -1), as a convex-basis run would
// leave them: `irreversible` flags the reaction columns, `reversible` the rows; the capacity is
// the number of rows.
Kernel_Tableau<int> start_tableau(const Rows& rows, const std::vector<int>& irreversible,
                                  const std::vector<bool>& reversible, int req_zeros) {
    const int columns = static_cast<int>(irreversible.size());
    Matrix_Holder m({}, columns);
    Vector_Holder rev(irreversible);
    Int_Kestrane k(m.get(), rev.get(), nullptr);
    k.resize_tableau(static_cast<unsigned>(rows.size()));
    k.rows = static_cast<unsigned>(rows.size());
    for (unsigned r = 0; r < rows.size(); ++r) {
        write_row(k, r, rows[r]);
        k.reversible_rows[r] = reversible[r];
        k.row_status[r] = -1;
    }
    k.req_zeros = req_zeros;
    return Kernel_Tableau<int>(k);
}

// The reaction parts of slots 0 to rows - 1.
Rows tableau_rows(const Int_Tableau& t) {
    Rows rows;
    for (unsigned r = 0; r < t.rows; ++r) rows.push_back(row_of(t, r));
    return rows;
}

void file_all_rows(const Int_Tableau& t, Pattern_Table& table) {
    for (unsigned r = 0; r < t.rows; ++r) table.insert(pattern_key(t.zero_pattern[r]), r);
}

// The console text with every processor-time report replaced by "<time>". A time line of any
// other form stays as it is and fails the comparison.
std::string with_time_marks(const std::string& text) {
    static const std::regex time_line(
        "^Time used for calculations so far: [0-9]+m[0-9]{2}\\.[0-9]{2}s$");
    std::istringstream in(text);
    std::string line, result;
    while (std::getline(in, line)) {
        result += std::regex_match(line, time_line) ? "<time>" : line;
        result += "\n";
    }
    return result;
}

std::string run_elementary_modes(Kernel_Tableau<int>& t, bool use_condition_seven = true) {
    ::testing::internal::CaptureStdout();
    t.elementary_modes(use_condition_seven, true);
    return with_time_marks(::testing::internal::GetCapturedStdout());
}

// --- candidate generation ---------------------------------------------------------------------

struct Generation_Case {
    const char* name;
    Rows rows;
    std::vector<bool> reversible;
    int req_zeros;
    std::string headings;
    std::vector<std::tuple<unsigned, unsigned, unsigned> > candidates;  // list, row1, row2
    std::int64_t tests_saved;
    std::int64_t possible;
};

void PrintTo(const Generation_Case& c, std::ostream* out) { *out << c.name; }

class GenerateCandidates : public ::testing::TestWithParam<Generation_Case> {};

TEST_P(GenerateCandidates, PairsTheClassesOfTheRowsNonZeroInTheColumn) {
    const Generation_Case& c = GetParam();
    const std::vector<int> irreversible(c.rows[0].size(), 0);
    Kernel_Tableau<int> t = start_tableau(c.rows, irreversible, c.reversible, 0);
    t.req_zeros = c.req_zeros;
    Pattern_Table table(t.bit_patterns);
    file_all_rows(t, table);
    table.partition_buckets(Column_Predicate<int>{t.coefficients, t.stride, 0});
    Row_Classes classes;
    classify_rows(t, table, 0, classes);
    Candidate_Lists lists(t.reactions);
    std::int64_t tests_saved = 0, possible = 0;
    ::testing::internal::CaptureStdout();
    generate_candidates(t, classes, lists, tests_saved, possible);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), c.headings);
    std::vector<std::tuple<unsigned, unsigned, unsigned> > made;
    for (unsigned k = 0; k < lists.size(); ++k) {
        for (std::size_t i = 0; i < lists[k].size(); ++i) {
            made.emplace_back(k, lists[k][i].row1, lists[k][i].row2);
        }
    }
    EXPECT_EQ(made, c.candidates);
    EXPECT_EQ(tests_saved, c.tests_saved);
    EXPECT_EQ(possible, c.possible);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GenerateCandidates,
    ::testing::Values(
        // Rows filed under keys (0,1), (0,2), (0,3), (0,4); every pair shares two zero columns.
        Generation_Case{"AllClassesInOrder",
                        {{1, 1, 0, 0, 0}, {1, 0, 1, 0, 0}, {1, 0, 0, 1, 0}, {-1, 0, 0, 0, 1}},
                        {true, true, false, false},
                        2,
                        "REV/REV\nIRREV_POS/REV\nIRREV_NEG/REV\nIRREV_POS/IRREV_NEG\n",
                        {{2, 0, 1}, {2, 2, 0}, {2, 2, 1}, {2, 3, 0}, {2, 3, 1}, {2, 2, 3}},
                        0,
                        2 * 1 + 2 * 1 + 2 * 1 + 1 * 1},
        // Every pair shares two zero columns, fewer than the three required: all refused.
        Generation_Case{"RequiredZerosAboveTheSharedOnes",
                        {{1, 1, 0, 0, 0}, {1, 0, 1, 0, 0}, {1, 0, 0, 1, 0}, {-1, 0, 0, 0, 1}},
                        {true, true, false, false},
                        3,
                        "REV/REV\nIRREV_POS/REV\nIRREV_NEG/REV\nIRREV_POS/IRREV_NEG\n",
                        {},
                        6,
                        7},
        Generation_Case{"RequiredZerosAboveTheReactions",
                        {{1, 1, 0}, {2, 0, 1}, {-1, 1, 1}},
                        {true, true, false},
                        4,
                        "REV/REV\nIRREV_NEG/REV\n",
                        {},
                        3,
                        2 * 1 + 2 * 1},
        // One reversible row: no REV/REV pairs and no heading for them.
        Generation_Case{"OneReversibleRow",
                        {{1, 1, 0}, {3, 0, 1}, {0, 1, 1}},
                        {true, false, false},
                        0,
                        "IRREV_POS/REV\n",
                        {{0, 1, 0}},
                        0,
                        1},
        // Two positive and one negative irreversible row: two pairs, none of the positive rows.
        Generation_Case{"TwoPositivesOneNegative",
                        {{1, 1, 0, 0}, {2, 0, 1, 0}, {-1, 0, 0, 1}},
                        {false, false, false},
                        1,
                        "IRREV_POS/IRREV_NEG\n",
                        {{1, 0, 2}, {1, 1, 2}},
                        0,
                        2},
        Generation_Case{
            "OnlyPositiveRows", {{1, 1, 0}, {2, 0, 1}}, {false, false}, 0, "", {}, 0, 0},
        Generation_Case{
            "NoRowInTheColumn", {{0, 1, 0}, {0, 0, 1}}, {true, false}, 0, "", {}, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Two reversible rows non-zero in column 0, one also in the last column, the other in column 1:
// at every width (one to seven pattern words) the pair shares width - 3 zero columns.
TEST(GenerateCandidates, CountsCommonZerosOverEveryPatternWord) {
    for (const int width : {5, 40, 70, 100, 128, 129, 200}) {
        SCOPED_TRACE(width);
        std::vector<int> a(width, 0), b(width, 0);
        a[0] = b[0] = 1;
        a[width - 1] = 2;
        b[1] = -1;
        for (const int req_zeros : {width - 3, width - 2}) {
            Kernel_Tableau<int> t =
                start_tableau({a, b}, std::vector<int>(width, 0), {true, true}, req_zeros);
            Row_Classes classes;
            classes.rev = {0, 1};
            Candidate_Lists lists(t.reactions);
            std::int64_t tests_saved = 0, possible = 0;
            ::testing::internal::CaptureStdout();
            generate_candidates(t, classes, lists, tests_saved, possible);
            ::testing::internal::GetCapturedStdout();
            const bool accepted = req_zeros == width - 3;
            EXPECT_EQ(lists[width - 3].size(), accepted ? 1u : 0u);
            EXPECT_EQ(tests_saved, accepted ? 0 : 1);
        }
    }
}

// A tableau of 600 rows over `width` columns, positive in column 0 at even rows and negative at
// odd ones, the first 250 reversible, with few non-zero entries elsewhere.
Kernel_Tableau<int> random_pair_tableau(std::mt19937& random, int width) {
    Rows rows;
    std::vector<bool> reversible;
    for (unsigned r = 0; r < 600; ++r) {
        std::vector<int> row(width, 0);
        for (int& entry : row) entry = static_cast<int>(random() % 7) - 3;
        for (int& entry : row) entry = std::abs(entry) > 1 ? 0 : entry;
        row[0] = r % 2 == 0 ? 1 : -1;
        rows.push_back(row);
        reversible.push_back(r < 250);
    }
    return start_tableau(rows, std::vector<int>(width, 0), reversible, width / 2);
}

// The pair classes of the tableau's rows for column 0.
Row_Classes classes_of_column_0(const Kernel_Tableau<int>& t) {
    Pattern_Table table(t.bit_patterns);
    file_all_rows(t, table);
    table.partition_buckets(Column_Predicate<int>{t.coefficients, t.stride, 0});
    Row_Classes classes;
    classify_rows(t, table, 0, classes);
    return classes;
}

using Pairs_By_List = std::vector<std::vector<std::pair<unsigned, unsigned> > >;

// Appends the pairs of lists [from, to) to `made`, list by list.
void take_pairs(const Candidate_Lists& lists, unsigned from, unsigned to, Pairs_By_List& made) {
    for (unsigned k = from; k < to; ++k) {
        for (std::size_t i = 0; i < lists[k].size(); ++i) {
            made[k].emplace_back(lists[k][i].row1, lists[k][i].row2);
        }
    }
}

// With several threads every class large enough is shared out: the lists, the refused pairs and
// the possible pairs are those of one thread, for patterns of one and of two words.
TEST(GenerateCandidates, GivesTheListsOfOneThreadWithSeveralThreads) {
    std::mt19937 random(3);
    for (const int width : {30, 51}) {
        SCOPED_TRACE(width);
        const Kernel_Tableau<int> t = random_pair_tableau(random, width);
        const Row_Classes classes = classes_of_column_0(t);
        Pairs_By_List one_thread;
        std::int64_t saved_by_one = 0, possible_with_one = 0;
        for (const unsigned threads : {1u, 2u, 3u}) {
            SCOPED_TRACE(threads);
            Worker_Pool pool(threads);
            Candidate_Lists lists(t.reactions);
            Generation_Round round(lists, 0, t.reactions, Generation_Round::unlimited, true);
            std::int64_t tests_saved = 0, possible = 0;
            ::testing::internal::CaptureStdout();
            generate_candidates(t, classes, round, tests_saved, possible, pool);
            ::testing::internal::GetCapturedStdout();
            Pairs_By_List made(lists.size());
            take_pairs(lists, 0, t.reactions, made);
            if (threads == 1) {
                one_thread = made;
                saved_by_one = tests_saved;
                possible_with_one = possible;
                ASSERT_GT(tests_saved, 0);
                continue;
            }
            EXPECT_EQ(made, one_thread);
            EXPECT_EQ(tests_saved, saved_by_one);
            EXPECT_EQ(possible, possible_with_one);
        }
    }
}

// Generated in rounds within a budget, the lists of all rounds together are those of one round
// without a budget, pair for pair; only the first round prints the headings and counts the
// refused and possible pairs. With one thread the budget is kept pair by pair, with several
// class by class.
TEST(GenerateCandidates, RoundsWithinABudgetGiveTheListsOfOneRound) {
    std::mt19937 random(8);
    const Kernel_Tableau<int> t = random_pair_tableau(random, 51);
    const Row_Classes classes = classes_of_column_0(t);
    const unsigned reactions = t.reactions;
    Candidate_Lists whole(reactions);
    std::int64_t whole_saved = 0, whole_possible = 0;
    ::testing::internal::CaptureStdout();
    generate_candidates(t, classes, whole, whole_saved, whole_possible);
    const std::string headings = ::testing::internal::GetCapturedStdout();
    Pairs_By_List expected(reactions);
    take_pairs(whole, 0, reactions, expected);
    std::size_t largest = 0, total = 0;
    for (const Candidate_List& list : whole) {
        largest = std::max(largest, list.size());
        total += list.size();
    }
    ASSERT_GT(total, largest);
    for (const std::size_t budget : {std::size_t(1), largest, total}) {
        for (const unsigned threads : {1u, 2u}) {
            SCOPED_TRACE(testing::Message() << "budget " << budget << ", threads " << threads);
            Worker_Pool pool(threads);
            Candidate_Lists lists(reactions);
            Pairs_By_List made(reactions);
            std::int64_t tests_saved = 0, possible = 0;
            unsigned rounds = 0;
            ::testing::internal::CaptureStdout();
            for (unsigned high = reactions;; ++rounds) {
                Generation_Round round(lists, 0, high, budget, rounds == 0);
                generate_candidates(t, classes, round, tests_saved, possible, pool);
                std::size_t held = 0;
                for (unsigned k = round.cut; k < high; ++k) held += lists[k].size();
                EXPECT_LE(held, std::max(budget, largest) + budget / 16 + 1);
                take_pairs(lists, round.cut, high, made);
                for (Candidate_List& list : lists) list.release();
                if (round.cut == round.low) break;
                high = round.cut;
            }
            EXPECT_EQ(::testing::internal::GetCapturedStdout(), headings);
            EXPECT_EQ(made, expected);
            EXPECT_EQ(tests_saved, whole_saved);
            EXPECT_EQ(possible, whole_possible);
            EXPECT_EQ(rounds > 0, budget < total);
        }
    }
}

TEST(CommonZeroCount, CountsTheColumnsWhereBothRowsAreZero) {
    // 40 columns, so the count runs over two pattern words.
    std::vector<int> a(40, 0), b(40, 0);
    a[0] = a[33] = 1;
    b[0] = b[39] = -2;
    b[5] = 1;
    Kernel_Tableau<int> t = start_tableau({a, b}, std::vector<int>(40, 0), {false, false}, 0);
    // Row a's own pattern as the mask adds nothing to the union of the two rows.
    EXPECT_EQ(t.bit_patterns.count_common_zeros(0, 1, t.bit_patterns.pattern(0)), 36u);
    EXPECT_EQ(t.bit_patterns.count_common_zeros(0, 0, t.bit_patterns.pattern(0)), 38u);
}

// --- candidate summary and conical independence -------------------------------------------------

TEST(CandidateSummary, TakesTheProcessedColumnOutOfTheSpan) {
    // Column 2 processed; the rows' spans are [2, 4] and [0, 2].
    Kernel_Tableau<int> t = start_tableau({{0, 0, 1, 0, 3}, {1, 0, -1, 0, 0}, {0, 0, 1, 0, 0}},
                                          std::vector<int>(5, 0), {false, false, false}, 0);
    Zero_Pattern summary{};
    ASSERT_TRUE(candidate_summary(t, 0, 1, 2, summary));
    EXPECT_EQ(summary.first_nonzero, 0);
    EXPECT_EQ(summary.last_nonzero, 4);
    ASSERT_TRUE(candidate_summary(t, 0, 2, 2, summary));
    EXPECT_EQ(summary.first_nonzero, 4);
    EXPECT_EQ(summary.last_nonzero, 4);
    ASSERT_TRUE(candidate_summary(t, 1, 2, 2, summary));
    EXPECT_EQ(summary.first_nonzero, 0);
    EXPECT_EQ(summary.last_nonzero, 0);
    EXPECT_EQ(t.scratch_pattern[0], 0xA0000000u | 0x07FFFFFFu);
}

TEST(CandidateSummary, RefusesAPairWithNoOtherNonZeroColumn) {
    Kernel_Tableau<int> t =
        start_tableau({{0, 2, 0}, {0, -1, 0}}, std::vector<int>(3, 0), {false, false}, 0);
    Zero_Pattern summary{};
    EXPECT_FALSE(candidate_summary(t, 0, 1, 1, summary));
}

struct Conical_Case {
    const char* name;
    std::vector<int> other;  // a third row
    bool next_to_end;        // the third row is also non-zero in the column before the last
    bool independent;
};

void PrintTo(const Conical_Case& c, std::ostream* out) { *out << c.name; }

// The candidate's columns 0 to 4 spread out to column spread * j of a row of 4 * spread + 1
// reaction columns, so that the patterns span one word (spread 1) up to six words (spread 40).
class ConicalIndependence : public ::testing::TestWithParam<std::tuple<Conical_Case, int> > {};

TEST_P(ConicalIndependence, LooksOnlyAtRowsZeroInTheColumnInsideTheUnion) {
    // Candidate (0, 1) in column 0: union support {0, 1, 4}, span [1, 4] before spreading.
    const auto& [c, spread] = GetParam();
    const auto spread_row = [spread = spread](const std::vector<int>& row) {
        std::vector<int> wide(4 * spread + 1, 0);
        for (int j = 0; j < 5; ++j) wide[j * spread] = row[j];
        return wide;
    };
    std::vector<int> other = spread_row(c.other);
    if (c.next_to_end) other[4 * spread - 1] = 1;
    Kernel_Tableau<int> t =
        start_tableau({spread_row({1, 1, 0, 0, 0}), spread_row({-1, 0, 0, 0, 1}), other},
                      std::vector<int>(4 * spread + 1, 1), {false, false, false}, 0);
    Pattern_Tree tree(t.bit_patterns.words_per_row, t.reactions);
    for (unsigned r = 0; r < 3; ++r) tree.insert(r, t.bit_patterns.pattern(r));
    Zero_Pattern summary{};
    ASSERT_TRUE(candidate_summary(t, 0, 1, 0, summary));
    const std::vector<unsigned> union_pattern(
        t.scratch_pattern.get(), t.scratch_pattern.get() + t.bit_patterns.words_per_row);
    // Through the tree, then again with every row among the recent blockers.
    Recent_Blockers recent;
    const unsigned blocker = conical_blocker(t, tree, 0, t.scratch_pattern.get(), recent);
    EXPECT_EQ(blocker, c.independent ? no_row : 2u);
    recent.items[0] = 0;
    recent.items[1] = 1;
    recent.items[2] = 2;
    recent.count = 3;
    std::vector<unsigned> again = union_pattern;
    EXPECT_EQ(conical_blocker(t, tree, 0, again.data(), recent), blocker);
    // A row deleted by condition seven blocks nothing, though a recent blocker names its slot.
    t.row_status[2] = -2;
    tree.erase(2, t.bit_patterns.pattern(2));
    again = union_pattern;
    EXPECT_EQ(conical_blocker(t, tree, 0, again.data(), recent), no_row);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConicalIndependence,
    ::testing::Combine(
        ::testing::Values(
            // Key (4, 4), not the candidate's (1, 4), but inside its span and its union.
            Conical_Case{"BlockingRowWithAnotherKey", {0, 0, 0, 0, 1}, false, false},
            Conical_Case{"BlockingRowWithTheCandidatesKey", {0, 3, 0, 0, 1}, false, false},
            Conical_Case{"BlockingRowWithASmallerSupport", {0, 1, 0, 0, 0}, false, false},
            Conical_Case{"RowOutsideTheUnion", {0, 0, 1, 0, 0}, false, true},
            Conical_Case{"RowReachingOutsideTheUnion", {0, 1, 0, 1, 1}, false, true},
            // Outside the union only in the last word but one when spread 40.
            Conical_Case{"RowReachingOutsideTheUnionNextToItsEnd", {0, 1, 0, 0, 1}, true, true},
            // Non-zero in the column with its support inside the union, like the parents.
            Conical_Case{"RowNonZeroInTheColumn", {2, 1, 0, 0, 1}, false, true}),
        ::testing::Values(1, 8, 16, 24, 40)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "Spread" +
               std::to_string(std::get<1>(info.param));
    });

// Candidates keyed by union patterns of 6 words order and compare as their whole patterns do,
// whether the patterns first differ inside the packed head or behind it.
TEST(KeyedCandidate, OrdersAndComparesByTheWholeUnionPattern) {
    struct Case {
        unsigned differing_word;
        unsigned smaller;
        unsigned larger;
    };
    const unsigned words = 6;
    for (const Case& c : {Case{0, 1, 2}, Case{1, 0x7FFFFFFFu, 0x80000000u}, Case{2, 5, 9},
                          Case{3, 5, 9}, Case{4, 0, 1}, Case{5, 3, 0xFFFFFFFFu}}) {
        SCOPED_TRACE(c.differing_word);
        // Row 0: pattern a; row 1: pattern b; row 2: all zero; rows 3 and 4: the even and the odd
        // words of a, whose union is a again.
        Bit_Pattern bits(32 * words, 5);
        for (unsigned w = 0; w < words; ++w) bits.pattern(0)[w] = 0x12345678u;
        bits.pattern(0)[c.differing_word] = c.smaller;
        // A later word pointing the other way must not matter.
        if (c.differing_word + 1 < words) bits.pattern(0)[c.differing_word + 1] = 0xFFFFFFFFu;
        for (unsigned w = 0; w < words; ++w) {
            bits.pattern(1)[w] = w == c.differing_word ? c.larger : 0x12345678u;
            bits.pattern(w % 2 == 0 ? 3 : 4)[w] = bits.pattern(0)[w];
        }
        const Keyed_Candidate ka = keyed_candidate(combination{0, 2}, bits);
        const Keyed_Candidate kb = keyed_candidate(combination{2, 1}, bits);
        const Keyed_Candidate ka_split = keyed_candidate(combination{3, 4}, bits);
        const Pattern_Less less(bits);
        EXPECT_TRUE(less(ka, kb));
        EXPECT_FALSE(less(kb, ka));
        EXPECT_FALSE(less(ka, ka_split));
        EXPECT_FALSE(less(ka_split, ka));
        EXPECT_EQ(ka_split.pair.row1, 3u);
    }
}

// --- condition seven
// ------------------------------------------------------------------------------

// Condition seven scans every bucket that may hold a row containing the new row's support, or
// only the buckets that the rows copied at the partition show to hold one: the same rows go, in
// the same order.
TEST(DeleteSupersetRows, DeletesOlderRowsZeroInTheColumnContainingTheNewRow) {
    // Column 0 processed; the new row is slot 7 with support {1, 3}.
    const Rows rows{
        {1, 1, 0, 1, 0},  // 0: non-zero in the column, contains {1, 3}: stays
        {0, 1, 1, 1, 0},  // 1: contains {1, 3} strictly: deleted
        {0, 2, 0, 3, 0},  // 2: same support as the new row (key (1,3)): deleted
        {0, 0, 1, 1, 0},  // 3: does not contain {1, 3}: stays
        {0, 1, 0, 1, 1},  // 4: key (1,4), contains {1, 3}: deleted
        {0, 1, 0, 0, 1},  // 5: key (1,4), lacks column 3: stays
        {0, 1, 1, 1, 1},  // 6: made earlier in this step, contains {1, 3}: stays
        {0, 1, 0, 1, 0},  // 7: the new row
        {0, 0, 0, 1, 1},  // 8: key (3,4), contains only column 3 of the new row: stays
    };
    for (const bool through_copies : {false, true}) {
        SCOPED_TRACE(through_copies ? "buckets found in the copies" : "every bucket scanned");
        Kernel_Tableau<int> t =
            start_tableau(rows, std::vector<int>(5, 1), std::vector<bool>(9, false), 0);
        Pattern_Table table(t.bit_patterns);
        for (unsigned r : {0u, 1u, 2u, 3u, 4u, 5u, 8u}) {
            table.insert(pattern_key(t.zero_pattern[r]), r);
        }
        table.partition_buckets(Column_Predicate<int>{t.coefficients, t.stride, 0});
        Condition_Seven_Rows copies;
        copies.take(table);
        table.insert(pattern_key(t.zero_pattern[6]), 6);
        const std::size_t buckets = table.size();
        std::vector<unsigned> free_rows{20};
        unsigned deleted = 3;

        if (through_copies) {
            std::vector<unsigned> keys;
            copies.for_each_bucket_with_superset(t.bit_patterns.pattern(7), 1, 3, t.reactions,
                                                 [&keys](unsigned key) { keys.push_back(key); });
            EXPECT_EQ(keys, (std::vector<unsigned>{65536 + 3, 65536 + 4}));
            delete_superset_rows_in(t, 7, table, keys, free_rows, deleted);
        } else {
            delete_superset_rows(t, 7, table, free_rows, deleted);
        }

        EXPECT_EQ(deleted, 6u);
        EXPECT_EQ(free_rows, (std::vector<unsigned>{20, 1, 2, 4}));
        EXPECT_EQ(t.row_status, (std::vector<int>{-1, -2, -2, -1, -2, -1, -1, -1, -1}));
        EXPECT_EQ(table.size(), buckets);
        EXPECT_TRUE(table.lower_bound(65536 + 3)->second.members->empty());
        const map_value<unsigned>& wide = table.lower_bound(65536 + 4)->second;
        EXPECT_EQ(*wide.members, (std::vector<unsigned>{5, 6}));
        EXPECT_EQ(wide.zero_end, 1u);
        EXPECT_EQ(*table.lower_bound(3 * 65536 + 4)->second.members, (std::vector<unsigned>{8}));
        // A deleted row keeps its coefficients until its slot is reused.
        EXPECT_EQ(row_of(t, 1), rows[1]);
    }
}

// --- growth
// ---------------------------------------------------------------------------------------

struct Growth_Case {
    unsigned rows;
    unsigned capacity;
};

class GrowthRule : public ::testing::TestWithParam<Growth_Case> {};

TEST_P(GrowthRule, GrowsByChunksOf128PerStarted512RowsAndTakesTheLowestNewSlotFirst) {
    const Growth_Case& c = GetParam();
    Kernel_Tableau<int> t = start_tableau({{1, 0}, {0, 1}}, {1, 0}, {false, true}, 0);
    t.rows = c.rows;
    std::vector<unsigned> free_rows{0};
    t.resize_tableau(free_rows);
    EXPECT_EQ(t.reversible_rows.size(), c.capacity);
    EXPECT_EQ(t.row_status.size(), c.capacity);
    EXPECT_EQ(t.coefficients.size(), std::size_t(c.capacity) * 2);
    EXPECT_EQ(t.bit_patterns.patterns.size(), c.capacity);
    EXPECT_EQ(t.rows, c.rows);
    ASSERT_EQ(free_rows.size(), 1 + c.capacity - c.rows);
    EXPECT_EQ(free_rows[1], c.capacity - 1);
    EXPECT_EQ(free_rows.back(), c.rows);
    EXPECT_EQ(row_of(t, 1), (std::vector<int>{0, 1}));
}

INSTANTIATE_TEST_SUITE_P(Cases, GrowthRule,
                         ::testing::Values(Growth_Case{2, 130}, Growth_Case{511, 639},
                                           Growth_Case{512, 768}, Growth_Case{1000, 1256},
                                           Growth_Case{1024, 1408}));

// --- whole runs -------------------------------------------------------------------------------

// Start rows of a step with one processed column (3) and all four kinds of outcome.
const Rows worked_rows{{1, 0, 0, 1}, {0, 1, 0, -1}, {0, 0, 1, -1}, {1, 1, 0, 0},
                       {1, 1, 1, 0}, {1, 1, 1, 1},  {0, 1, 0, -2}};

struct Run_Case {
    const char* name;
    Rows rows;
    std::vector<int> irreversible;
    std::vector<bool> reversible;
    int req_zeros;
    std::string output;
    Rows modes;
    std::vector<int> status;
};

void PrintTo(const Run_Case& c, std::ostream* out) { *out << c.name; }

class ElementaryModesRun : public ::testing::TestWithParam<Run_Case> {};

TEST_P(ElementaryModesRun, PrintsItsProgressAndLeavesTheModes) {
    const Run_Case& c = GetParam();
    Kernel_Tableau<int> t = start_tableau(c.rows, c.irreversible, c.reversible, c.req_zeros);
    EXPECT_EQ(run_elementary_modes(t), c.output);
    EXPECT_EQ(tableau_rows(t), c.modes);
    EXPECT_EQ(t.row_status, c.status);
    EXPECT_EQ(t.reversible_rows.size(), t.rows);
    EXPECT_EQ(t.coefficients.size(), std::size_t(t.rows) * t.stride);
    EXPECT_EQ(t.req_zeros, c.req_zeros - 2);
}

// Lines 2 and 3 of a progress block before any change.
const char* const no_change_progress =
    "0 rows accepted, 0 S-tests saved\n"
    "0 rows deleted by condition seven, 0 combinations ignored by concial dependence;\n";

// Lines 1 to 3 of the summary block of a run without any change.
const char* const no_change_summary =
    "0 rows accepted, 0 S-tests saved\n"
    "0 rows deleted by condition seven\n"
    "0 combinations ignored by concial dependence;\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, ElementaryModesRun,
    ::testing::Values(
        Run_Case{"NoReversibleColumn",
                 {{1, 1, 0}, {0, 1, 1}, {2, 0, 1}},
                 {1, 1, 1},
                 {false, false, false},
                 3,
                 std::string(no_change_summary) + "So far 0 possible combinations\n"
                                                  "Found 3 elementary modes\n<time>\n",
                 {{1, 1, 0}, {0, 1, 1}, {2, 0, 1}},
                 {-1, -1, -1}},
        // The step only prints its progress block and two time reports.
        Run_Case{"ReversibleColumnWithoutRows",
                 {{1, 0}},
                 {1, 0},
                 {false},
                 2,
                 "Processing column 1 (0 remaining); so far 1 rows in table, 1 rows in use\n" +
                     std::string(no_change_progress) + "1 buckets\n<time>\n<time>\n" +
                     no_change_summary +
                     "So far 0 possible combinations\n"
                     "Found 1 elementary modes\n<time>\n",
                 {{1, 0}},
                 {-1}},
        // The pair's combination would be zero in every reaction column: dropped, not counted.
        Run_Case{"PairNonZeroOnlyInTheColumn",
                 {{1, 0}, {-1, 0}, {0, 1}},
                 {0, 1},
                 {false, false, false},
                 2,
                 "Processing column 0 (0 remaining); so far 3 rows in table, 3 rows in use\n" +
                     std::string(no_change_progress) +
                     "2 buckets\n<time>\nIRREV_POS/IRREV_NEG\n<time>\n" + no_change_summary +
                     "So far 1 possible combinations\n"
                     "Found 3 elementary modes\n<time>\n",
                 {{1, 0}, {-1, 0}, {0, 1}},
                 {-1, -1, -1}},
        // Two proportional rows cancel each other: the combination is dropped, its slot stays
        // free. Both columns are processed, the later one in the list first.
        Run_Case{"ProportionalRows",
                 {{1, 1}, {-1, -1}},
                 {0, 0},
                 {false, false},
                 2,
                 "Processing column 1 (1 remaining); so far 2 rows in table, 2 rows in use\n" +
                     std::string(no_change_progress) +
                     "1 buckets\n<time>\nIRREV_POS/IRREV_NEG\n<time>\n"
                     "Processing column 0 (0 remaining); so far 2 rows in table, 2 rows in use\n" +
                     no_change_progress + "1 buckets\n<time>\nIRREV_POS/IRREV_NEG\n<time>\n" +
                     no_change_summary +
                     "So far 2 possible combinations\n"
                     "Found 2 elementary modes\n<time>\n",
                 {{1, 1}, {-1, -1}},
                 {-1, -1}},
        // Column 3 only. Pairs (0,1) and (0,6) share their union pattern: one is dropped as a
        // duplicate, the other is blocked by row 3 (support {0,1}). Pairs with row 5 share no zero
        // column (one required). (0,2) gives (1,0,1,0) in slot 7, which deletes row 4 (support
        // {0,1,2}); compaction then moves it into slot 4.
        Run_Case{"WorkedExample",
                 worked_rows,
                 {1, 1, 1, 0},
                 std::vector<bool>(7, false),
                 3,
                 "Processing column 3 (0 remaining); so far 7 rows in table, 7 rows in use\n" +
                     std::string(no_change_progress) +
                     "5 buckets\n<time>\nIRREV_POS/IRREV_NEG\n<time>\n"
                     "1 rows accepted, 4 S-tests saved\n"
                     "1 rows deleted by condition seven\n"
                     "1 combinations ignored by concial dependence;\n"
                     "So far 6 possible combinations\n"
                     "Found 7 elementary modes\n<time>\n",
                 {{1, 0, 0, 1},
                  {0, 1, 0, -1},
                  {0, 0, 1, -1},
                  {1, 1, 0, 0},
                  {1, 0, 1, 0},
                  {1, 1, 1, 1},
                  {0, 1, 0, -2}},
                 {-1, -1, -1, -1, 0, -1, -1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ElementaryModes, WithoutConditionSevenKeepsTheContainingRow) {
    Kernel_Tableau<int> t =
        start_tableau(worked_rows, {1, 1, 1, 0}, std::vector<bool>(7, false), 3);
    const std::string output = run_elementary_modes(t, false);
    EXPECT_NE(output.find("1 rows accepted, 4 S-tests saved\n"
                          "0 rows deleted by condition seven\n"
                          "1 combinations ignored by concial dependence;\n"
                          "So far 6 possible combinations\n"
                          "Found 8 elementary modes\n"),
              std::string::npos)
        << output;
    Rows expected = worked_rows;
    expected.push_back({1, 0, 1, 0});
    EXPECT_EQ(tableau_rows(t), expected);
}

TEST(ElementaryModes, ConvexBasisOfOneConstraintGivesFiveModesSortedByPattern) {
    // v0 = v1 + v2 + v3 with v0, v1, v2 irreversible. Its convex basis (1,0,0,1), (0,0,1,-1),
    // (0,1,0,-1) is left with capacity 132 and req_zeros 3; column 3 then combines the positive
    // row with each negative one.
    Matrix_Holder m({{1, -1, -1, -1}}, 4);
    Vector_Holder rev({1, 1, 1, 0});
    Int_Kestrane k(m.get(), rev.get(), nullptr);
    Kestrane_Iteration it(k);
    ::testing::internal::CaptureStdout();
    k.convex_basis(it, false);
    ::testing::internal::GetCapturedStdout();
    Kernel_Tableau<int> t(k);
    t.start_time();
    EXPECT_EQ(run_elementary_modes(t),
              "Processing column 3 (0 remaining); so far 3 rows in table, 132 rows in use\n"
              "0 rows accepted, 0 S-tests saved\n"
              "0 rows deleted by condition seven, 0 combinations ignored by concial "
              "dependence;\n"
              "3 buckets\n"
              "<time>\n"
              "IRREV_POS/IRREV_NEG\n"
              "<time>\n"
              "2 rows accepted, 0 S-tests saved\n"
              "0 rows deleted by condition seven\n"
              "0 combinations ignored by concial dependence;\n"
              "So far 2 possible combinations\n"
              "Found 5 elementary modes\n"
              "<time>\n");
    EXPECT_EQ(t.row_status, (std::vector<int>{-1, -1, -1, 0, 0}));
    ::testing::internal::CaptureStdout();
    mat* modes = t.make_sorted_ref_mat();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Sorting modes... finished\n");
    Rows sorted;
    for (int r = 0; r < modes->rows; ++r) sorted.emplace_back(modes->head[r], modes->head[r] + 4);
    free(modes->head);
    free(modes);
    EXPECT_EQ(sorted,
              (Rows{{0, 0, 1, -1}, {0, 1, 0, -1}, {1, 0, 0, 1}, {1, 0, 1, 0}, {1, 1, 0, 0}}));
}

// The console text with every "Processing column N" renumbered to N - shift.
std::string with_columns_shifted_back(const std::string& text, int shift) {
    static const std::regex column("Processing column ([0-9]+)");
    std::string result;
    auto at = text.cbegin();
    for (std::sregex_iterator it(text.begin(), text.end(), column), end; it != end; ++it) {
        result.append(at, text.cbegin() + it->position());
        result += "Processing column " + std::to_string(std::stoi((*it)[1]) - shift);
        at = text.cbegin() + it->position() + it->length();
    }
    result.append(at, text.cend());
    return result;
}

// Zero columns put in front of the reaction columns (irreversible, so never processed, with
// req_zeros raised by their number) change nothing but the column numbers: every pair shares
// them, and the union patterns keep their order, now decided in later pattern words. With up to
// 64 columns the candidates are sorted packed in 12 bytes, beyond that in 16 with the words after
// the head compared one by one: both must make the same rows and print the same progress.
TEST(ElementaryModes, WidePatternsGiveTheRowsAndProgressOfNarrowOnes) {
    std::mt19937 random(17);
    for (const int columns : {14, 40, 64}) {
        SCOPED_TRACE(columns);
        Rows rows;
        std::vector<bool> reversible;
        for (int r = 0; r < 24; ++r) {
            std::vector<int> row(columns, 0);
            for (int& entry : row)
                entry = random() % 4 == 0 ? static_cast<int>(random() % 3) - 1 : 0;
            row[r % columns] = 1;
            rows.push_back(row);
            reversible.push_back(random() % 3 == 0);
        }
        std::vector<int> irreversible(columns, 1);
        for (int k = 0; k < columns; k += 5) irreversible[k] = 0;
        const int req_zeros = columns / 2;
        Kernel_Tableau<int> narrow = start_tableau(rows, irreversible, reversible, req_zeros);
        const std::string narrow_output = run_elementary_modes(narrow);

        const int added = 100;
        Rows wide_rows;
        for (const std::vector<int>& row : rows) {
            wide_rows.push_back(std::vector<int>(added, 0));
            wide_rows.back().insert(wide_rows.back().end(), row.begin(), row.end());
        }
        std::vector<int> wide_irreversible(added, 1);
        wide_irreversible.insert(wide_irreversible.end(), irreversible.begin(), irreversible.end());
        Kernel_Tableau<int> wide =
            start_tableau(wide_rows, wide_irreversible, reversible, req_zeros + added);
        EXPECT_EQ(with_columns_shifted_back(run_elementary_modes(wide), added), narrow_output);
        Rows wide_modes;
        for (const std::vector<int>& row : tableau_rows(wide))
            wide_modes.emplace_back(row.begin() + added, row.end());
        EXPECT_EQ(wide_modes, tableau_rows(narrow));
        EXPECT_GT(narrow.rows, 0u);
    }
}

TEST(ElementaryModes, OverflowLeavesWithRangeError) {
    // Cancelling column 0 takes 3 * row 0 + 2 * row 1, which is 5e9 in column 1.
    Kernel_Tableau<int> t =
        start_tableau({{-2, 1000000000}, {3, 1000000000}}, {0, 1}, {false, false}, 2);
    ::testing::internal::CaptureStdout();
    EXPECT_THROW(t.elementary_modes(true, true), Range_Error);
    ::testing::internal::GetCapturedStdout();
}

TEST(ElementaryModes, RefusesWhatItCannotDo) {
    Kernel_Tableau<int> t = start_tableau({{1, 0}, {0, 1}}, {1, 0}, {false, true}, 2);
    EXPECT_THROW(t.elementary_modes(true, false), std::logic_error);
    Kernel_Tableau<int> zero_row = start_tableau({{1, 0}, {0, 0}}, {1, 0}, {false, true}, 2);
    EXPECT_THROW(zero_row.elementary_modes(true, true), std::invalid_argument);
    t.reactions = 65537;  // beyond the 16-bit column indices of the pattern keys
    EXPECT_THROW(t.elementary_modes(true, true), std::length_error);
}

}  // namespace
