#pragma once

#include <cstddef>
#include <limits>

#include "tableau/candidate_list.h"

// One round of candidate generation in a column step: it fills the lists [cut, high) of
// `lists`, indexed by number of common zero columns, and leaves the lists [low, cut) to a later
// round over them.
//
// `cut` starts at `low` and rises while the lists filled hold more than `budget` pairs and a
// higher list holds any: the lowest filled list is then emptied, its memory given back, and its
// pairs left to the later round, which generates the step's pairs again and keeps only theirs.
// A step whose candidates outgrow the budget then holds the pairs of one round at a time, never
// fewer than those of its largest list, and its lists keep their pairs in the same order.
struct Generation_Round {
    static constexpr std::size_t unlimited = std::numeric_limits<std::size_t>::max();

    Generation_Round(Candidate_Lists& lists, unsigned low, unsigned high, std::size_t budget,
                     bool first)
        : lists(lists), low(low), high(high), budget(budget), first(first), cut(low) {}

    // Whether the round fills list k.
    bool takes(unsigned k) const { return k >= cut && k < high; }

    // Appends `pair` to list k when the round fills it, and keeps within the budget.
    void add(unsigned k, combination pair) {
        if (!takes(k)) return;
        lists[k].push_back(pair);
        if (++stored > check_at) keep_within_budget();
    }

    // Gives up the lowest filled lists while the lists hold more than `budget` pairs and a
    // higher list holds any.
    void keep_within_budget();

    // Grows list k by `count` pairs left for the caller to set, when the round fills it;
    // returns the position of the first of them, or not_filled. The budget is kept by a call of
    // keep_within_budget once the pairs are set.
    //
    // The caller expects `rest` times `count` pairs more for the list: a block that must grow
    // grows at once to hold them too, but never beyond the budget, so that a guess from a dense
    // stretch of pairs never asks for more memory than the budget allows.
    static constexpr std::size_t not_filled = unlimited;
    std::size_t make_room(unsigned k, std::size_t count, double rest = 0.0) {
        if (!takes(k)) return not_filled;
        stored += count;
        const double expected =
            static_cast<double>(lists[k].size() + count) + static_cast<double>(count) * rest;
        return lists[k].extend(count, expected >= static_cast<double>(budget)
                                          ? budget
                                          : static_cast<std::size_t>(expected));
    }

    Candidate_Lists& lists;
    const unsigned low;
    const unsigned high;
    const std::size_t budget;  // in pairs
    // The first round of a step prints the class headings and counts the refused and the
    // possible pairs; later rounds only fill their lists.
    const bool first;
    unsigned cut;
    std::size_t stored = 0;  // pairs in the lists [cut, high)

   private:
    // The budget is checked again once `stored` passes this: when no list could be given up,
    // only after a sixteenth of the budget more.
    std::size_t check_at = budget;
};
