#include "tableau/generation_round.h"

void Generation_Round::keep_within_budget() {
    unsigned top = high;
    while (top > cut && lists[top - 1].empty()) --top;
    while (stored > budget && cut + 1 < top) {
        stored -= lists[cut].size();
        lists[cut].release();
        ++cut;
    }
    check_at = stored <= budget ? budget : stored + budget / 16 + 1;
}
