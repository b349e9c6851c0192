#pragma once

#include <cstddef>
#include <vector>

#include "tableau/bit_pattern.h"

// A row index that stands for no row.
constexpr unsigned no_row = 0xFFFFFFFFu;

// The rows of a tableau filed by their bit patterns in a bit-pattern tree, for the question of
// the conical-independence test: does some row have its support inside a given union pattern?
// Every internal node splits its rows by one reaction column (the rows zero there go to one
// child, the rows non-zero there to the other), and every node keeps the columns non-zero in
// all of its rows. A search skips every subtree with such a common column outside the union:
// none of its rows can lie inside. On the rows of a mode iteration a search then visits a
// small part of the rows where a scan of all rows of the same key would visit them all.
//
// Rows come and go one at a time as the iteration makes and deletes them. Leaves split when
// they grow past a few dozen rows, by the column that halves them best. A row taken out leaves
// the common columns of the nodes above its leaf as they were: they then hold fewer columns
// than they could, which keeps every search right but prunes less, until refresh_common makes
// them exact again.
class Pattern_Tree {
   public:
    // An empty tree of patterns `words` words long, over `columns` reaction columns (the bits
    // beyond them are padding, 1 in every pattern).
    Pattern_Tree(unsigned words, unsigned columns);

    // Files `row` with its pattern (words of the tree's width, copied).
    void insert(unsigned row, const unsigned* pattern);

    // Takes `row` out; `pattern` must be the pattern it was filed with. A row that is not filed
    // is refused with std::logic_error.
    void erase(unsigned row, const unsigned* pattern);

    // Recomputes the common columns of every node from the rows filed now.
    void refresh_common();

    // A filed row whose pattern lies inside `outer` (every bit set in the row's pattern set in
    // `outer`), or no_row when there is none. Reads the tree only: several threads may
    // search at once while nobody inserts or erases.
    unsigned find_inside(const unsigned* outer) const;

    // find_inside for a filed row other than `skip` and `also_skip`.
    unsigned find_inside_except(const unsigned* outer, unsigned skip, unsigned also_skip) const;

    // find_inside with the row's entry in the tree: the row, then the pattern it was filed with;
    // nullptr when there is none. The entry stays where it is until the tree changes.
    const unsigned* find_entry_inside(const unsigned* outer) const;

    // Number of filed rows.
    std::size_t size() const { return size_; }

    // Number of nodes, leaves included.
    std::size_t nodes() const { return node_count_; }

   private:
    // A node is node_stride() words of nodes_: the split column, the two children (-1 for a
    // leaf), the leaf's index in leaves_ and then the common columns, so that a search reads one
    // place per node.
    enum Field { split_field, zero_field, one_field, leaf_field, common_field };
    struct Leaf {
        std::vector<unsigned> entries;  // per row: the row, then its pattern
        std::size_t rows = 0;
    };

    unsigned node_stride() const { return common_field + words_; }
    unsigned entry_stride() const { return 1 + words_; }
    unsigned* node(int n) { return nodes_.data() + std::size_t(n) * node_stride(); }
    const unsigned* node(int n) const { return nodes_.data() + std::size_t(n) * node_stride(); }
    static bool is_leaf(const unsigned* n) { return static_cast<int>(n[zero_field]) < 0; }

    // Splits a leaf that outgrew its capacity by its best column, when some column tells its
    // rows apart.
    void split_leaf(int n);

    // The column whose bit divides the rows of `leaf` most evenly; `columns_` when every column
    // has the same bit in all of them.
    unsigned best_split(const Leaf& leaf) const;

    // Makes a node that is an empty leaf; returns its index.
    int new_leaf();

    // Common columns of node n from its leaf's rows or its children's common columns.
    void recompute_common(int n);

    // Appends `row` with its pattern to `leaf`.
    void append(Leaf& leaf, unsigned row, const unsigned* pattern);

    // The entry of a filed row other than `skip` and `also_skip` whose pattern lies inside
    // `outer`, or nullptr.
    template <unsigned Words>
    const unsigned* find_inside_fixed(const unsigned* outer, unsigned skip,
                                      unsigned also_skip) const;

    unsigned words_;
    unsigned columns_;
    std::size_t size_ = 0;
    std::size_t node_count_ = 0;
    std::vector<unsigned> nodes_;  // node 0 is the root
    std::vector<Leaf> leaves_;
};
