#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "matrix/records.h"
#include "matrix/wide_mat.h"

// The reaction set (non-zero columns) of a row as a bit set: column j is bit j % 64 of word
// j / 64, in `words` words. Two rows have the same reaction set exactly when their bit sets are
// equal word by word.
int support_words(int columns);
template <typename T>
void support_bits(const T* row, int columns, std::uint64_t* bits) {
    std::fill(bits, bits + support_words(columns), 0);
    for (int j = 0; j < columns; ++j)
        if (row[j] != 0) bits[j / 64] |= std::uint64_t{1} << (j % 64);
}

// The non-empty reaction sets of a matrix's rows in a tree that splits the rows by one reaction
// at each node, as a bit-pattern tree does: every node knows the reactions common to all of its
// rows, so that a search for the rows whose reaction set lies inside a given set skips every
// subtree with a common reaction outside it. On mode matrices a search then tests a small part
// of the rows instead of every one. Rows without reactions are left out.
class Support_Tree {
   public:
    explicit Support_Tree(Wide_View m);

    // Calls visit(g) for every row g with a non-empty reaction set inside that of row r (r itself
    // included when its set is not empty), in no particular order. The searches of one tree share
    // a list of pending nodes: they must not run at the same time.
    template <typename Visit>
    void for_each_subset(int r, Visit visit) const;

    // Number of non-zero entries of row r.
    int size(int r) const { return sizes_[r]; }

   private:
    struct Node {
        int begin, end;  // the node's rows are order_[begin, end)
        int zero_child;  // rows without the split reaction; -1 for a leaf
        int one_child;   // rows with it
        int split;       // the column the node splits by
    };

    void build(int node);
    // The column that divides the rows order_[begin, end) most evenly, of those not in `all`
    // (the columns common to all of them); -1 when every row has the same reaction set.
    int split_column(int begin, int end, const std::uint64_t* all) const;
    const std::uint64_t* row_bits(int position) const {
        return &bits_[std::size_t(position) * words_];
    }
    const std::uint64_t* common(int node) const { return &common_[std::size_t(node) * words_]; }
    bool inside(const std::uint64_t* inner, const std::uint64_t* outer) const {
        for (int w = 0; w < words_; ++w)
            if ((inner[w] & ~outer[w]) != 0) return false;
        return true;
    }

    int words_;
    std::vector<int> sizes_;           // per row of the matrix
    std::vector<int> order_;           // rows with reactions, in tree order
    std::vector<std::uint64_t> bits_;  // reaction set of order_[p] at p * words_
    std::vector<int> position_;        // per row of the matrix: its place in order_, or -1
    std::vector<Node> nodes_;
    std::vector<std::uint64_t> common_;  // reactions common to all rows of node n at n * words_
    mutable std::vector<int> pending_;   // nodes still to visit during a search
};

template <typename Visit>
void Support_Tree::for_each_subset(int r, Visit visit) const {
    const int p = position_[r];
    if (p < 0 || nodes_.empty()) return;
    const std::uint64_t* query = row_bits(p);
    pending_.assign(1, 0);
    while (!pending_.empty()) {
        const int index = pending_.back();
        const Node& node = nodes_[index];
        pending_.pop_back();
        if (!inside(common(index), query)) continue;
        if (node.zero_child < 0) {
            for (int q = node.begin; q < node.end; ++q)
                if (inside(row_bits(q), query)) visit(order_[q]);
            continue;
        }
        pending_.push_back(node.zero_child);
        // Rows holding the split reaction can lie inside the query only when it holds it too.
        if ((query[node.split / 64] >> (node.split % 64) & 1) != 0)
            pending_.push_back(node.one_child);
    }
}

// The pairs of rows d < g of m whose non-empty reaction sets are equal or one inside the
// other, ordered by d, then g.
std::vector<std::pair<int, int> > nested_support_pairs(Wide_View m);
