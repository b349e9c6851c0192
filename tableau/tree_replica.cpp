#include "tableau/tree_replica.h"

void Tree_Replica::Changes::clear() {
    inserts.clear();
    rows.clear();
    patterns.clear();
}

void Tree_Replica::record(bool insert, unsigned row, const unsigned* pattern) {
    recording_.inserts.push_back(insert);
    recording_.rows.push_back(row);
    // A copy: the slot of an erased row may take another row's pattern before the copy catches up.
    recording_.patterns.insert(recording_.patterns.end(), pattern, pattern + words_);
}

void Tree_Replica::seal() {
    sealed_.inserts.insert(sealed_.inserts.end(), recording_.inserts.begin(),
                           recording_.inserts.end());
    sealed_.rows.insert(sealed_.rows.end(), recording_.rows.begin(), recording_.rows.end());
    sealed_.patterns.insert(sealed_.patterns.end(), recording_.patterns.begin(),
                            recording_.patterns.end());
    recording_.clear();
}

void Tree_Replica::catch_up() {
    for (std::size_t i = 0; i < sealed_.rows.size(); ++i) {
        const unsigned* pattern = sealed_.patterns.data() + i * words_;
        if (sealed_.inserts[i]) {
            copy_.insert(sealed_.rows[i], pattern);
        } else {
            copy_.erase(sealed_.rows[i], pattern);
        }
    }
    sealed_.clear();
}
