#pragma once

#include <vector>

#include "tableau/pattern_tree.h"

// A copy of a Pattern_Tree that follows it a batch behind, so that threads can search the copy
// while another thread changes the tree. Every change made to the tree is recorded here too;
// seal() closes the changes recorded so far, and catch_up() makes them in the copy, in their
// order. Made in the same order, the changes leave the copy the same tree as the original was
// when they were sealed.
//
// One thread records and seals; catch_up may run on another thread while changes are recorded,
// but neither while seal() runs nor while the copy is searched.
class Tree_Replica {
   public:
    explicit Tree_Replica(const Pattern_Tree& tree, unsigned words) : copy_(tree), words_(words) {}

    void record_insert(unsigned row, const unsigned* pattern) { record(true, row, pattern); }
    void record_erase(unsigned row, const unsigned* pattern) { record(false, row, pattern); }

    // Hands every change recorded so far to the next catch_up.
    void seal();

    // Makes the sealed changes in the copy.
    void catch_up();

    const Pattern_Tree& tree() const { return copy_; }
    Pattern_Tree& tree() { return copy_; }

   private:
    // Changes in their order: per change whether it files the row, the row and its pattern.
    struct Changes {
        std::vector<bool> inserts;
        std::vector<unsigned> rows;
        std::vector<unsigned> patterns;

        void clear();
    };

    void record(bool insert, unsigned row, const unsigned* pattern);

    Pattern_Tree copy_;
    unsigned words_;
    Changes recording_;
    Changes sealed_;
};
