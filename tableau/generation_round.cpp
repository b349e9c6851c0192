#include "tableau/generation_round.h"

void Generation_Round::keep_within_budget() {
    const auto held = [&](unsigned k) { return lists[k].size(); };
    std::size_t total = 0;
    for (unsigned k = cut; k < high; ++k) total += held(k);
    unsigned top = high;
    while (top > cut && held(top - 1) == 0) --top;
    while (total > budget && cut + 1 < top) {
        total -= held(cut);
        stored -= lists[cut].size();
        lists[cut].release();
        ++cut;
    }
    check_at = stored <= budget ? budget : stored + budget / 16 + 1;
}
