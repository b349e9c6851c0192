#include <gtest/gtest.h>

#include <vector>

#include "tableau/generation_round.h"

namespace {

// Lists of the given sizes, their pairs numbered by list.
Candidate_Lists lists_of_sizes(const std::vector<std::size_t>& sizes) {
    Candidate_Lists lists(sizes.size());
    for (unsigned k = 0; k < sizes.size(); ++k) {
        for (std::size_t i = 0; i < sizes[k]; ++i) lists[k].push_back({k, unsigned(i)});
    }
    return lists;
}

std::vector<std::size_t> sizes_of(const Candidate_Lists& lists) {
    std::vector<std::size_t> sizes;
    for (const Candidate_List& list : lists) sizes.push_back(list.size());
    return sizes;
}

// Lists copied in whole, where the round makes room for them: the lowest lists are given up
// while the lists hold more than the budget and a higher list holds any; lists outside
// [low, high) are left alone.
TEST(GenerationRound, GivesUpTheLowestListsBeyondTheBudget) {
    struct Case {
        const char* name;
        std::vector<std::size_t> sizes;
        unsigned low, high;
        std::size_t budget;
        unsigned cut;
        std::vector<std::size_t> sizes_after;
    };
    const std::vector<Case> cases{
        {"WithinTheBudget", {0, 3, 4, 2}, 0, 4, 9, 0, {0, 3, 4, 2}},
        {"LowestGivenUp", {0, 3, 4, 2}, 0, 4, 8, 2, {0, 0, 4, 2}},
        {"DownToTheTopList", {5, 3, 4, 9}, 0, 4, 2, 3, {0, 0, 0, 9}},
        {"EmptyTopListsDoNotCount", {5, 3, 0, 0}, 0, 4, 1, 1, {0, 3, 0, 0}},
        {"OnlyTheRoundsLists", {7, 2, 2, 6}, 1, 3, 3, 2, {7, 0, 2, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Candidate_Lists full = lists_of_sizes(c.sizes);
        std::vector<std::size_t> outside = c.sizes;
        for (unsigned k = c.low; k < c.high; ++k) outside[k] = 0;
        Candidate_Lists lists = lists_of_sizes(outside);
        Generation_Round round(lists, c.low, c.high, c.budget, true);
        for (unsigned k = 0; k < lists.size(); ++k) {
            const std::size_t place = round.make_room(k, full[k].size());
            EXPECT_EQ(place == Generation_Round::not_filled, k < c.low || k >= c.high);
            if (place != Generation_Round::not_filled) lists[k].copy_in(place, full[k]);
        }
        round.keep_within_budget();
        EXPECT_EQ(round.cut, c.cut);
        EXPECT_EQ(sizes_of(lists), c.sizes_after);
        std::size_t stored = 0;
        for (unsigned k = round.cut; k < c.high; ++k) stored += lists[k].size();
        EXPECT_EQ(round.stored, stored);
        for (unsigned k = round.cut; k < c.high; ++k) {
            for (unsigned i = 0; i < lists[k].size(); ++i) {
                EXPECT_EQ(lists[k][i].row1, k);
                EXPECT_EQ(lists[k][i].row2, i);
            }
        }
    }
}

// Pairs added one by one land in their list while the round fills it; over the budget the lowest
// list is given up and its later pairs are dropped too, and the top list is kept even alone over
// the budget.
TEST(GenerationRound, AddedPairsKeepTheRoundWithinItsBudget) {
    Candidate_Lists lists(4);
    Generation_Round round(lists, 0, 3, 4, true);
    const std::vector<unsigned> ks{0, 1, 3, 0, 2, 1, 0, 2, 2, 2, 2, 1};
    for (unsigned i = 0; i < ks.size(); ++i) round.add(ks[i], {ks[i], i});
    EXPECT_EQ(round.cut, 2u);
    EXPECT_EQ(sizes_of(lists), (std::vector<std::size_t>{0, 0, 5, 0}));
    EXPECT_EQ(round.stored, 5u);
    EXPECT_EQ(lists[2][0].row2, 4u);
    EXPECT_EQ(lists[2][4].row2, 10u);
}

// Room made for pairs with more of them expected grows the list at once to hold those too, but
// never beyond the budget, however many are expected; where room is left nothing grows.
TEST(GenerationRound, RoomForExpectedPairsStaysWithinTheBudget) {
    struct Case {
        double rest;
        std::size_t at_least;  // capacity after making room for 100 pairs
        std::size_t at_most;
    };
    const Case cases[] = {
        {0.0, 100, 200}, {9.0, 1000, 1000}, {1e12, 5000, 5000}, {1e300, 5000, 5000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rest);
        Candidate_Lists lists(2);
        for (Candidate_List& list : lists) list.use(Pair_Code::for_slots(1000));
        Generation_Round round(lists, 0, 2, 5000, true);
        EXPECT_EQ(round.make_room(1, 100, c.rest), 0u);
        EXPECT_GE(lists[1].capacity(), c.at_least);
        EXPECT_LE(lists[1].capacity(), c.at_most);
        const std::size_t room = lists[1].capacity();
        EXPECT_EQ(round.make_room(1, 1, 1e12), 100u);
        // A full block grows to the budget; one with room left stays as it is.
        EXPECT_EQ(lists[1].capacity(), room > 100 ? room : std::size_t(5000));
        EXPECT_EQ(round.make_room(0, 1, 1e300), 0u);
        EXPECT_LE(lists[0].capacity(), 5000u);
    }
}

}  // namespace
