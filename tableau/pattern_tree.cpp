#include "tableau/pattern_tree.h"

#include <algorithm>
#include <stdexcept>

namespace {

// Rows a leaf holds before it splits. Small enough that a leaf's scan costs little next to the
// pruning above it, large enough that the nodes stay few.
constexpr unsigned leaf_capacity = 32;

}  // namespace

Pattern_Tree::Pattern_Tree(unsigned words, unsigned columns) : words_(words), columns_(columns) {
    new_leaf();
}

int Pattern_Tree::new_leaf() {
    const int node = static_cast<int>(nodes_.size());
    nodes_.push_back(Node{0, -1, -1, static_cast<int>(leaves_.size())});
    leaves_.emplace_back();
    // No rows yet: every column counts as common, so that no search enters the leaf.
    common_.resize(common_.size() + words_, ~0u);
    return node;
}

void Pattern_Tree::insert(unsigned row, const unsigned* pattern) {
    int node = 0;
    while (true) {
        unsigned* shared = common(node);
        for (unsigned w = 0; w < words_; ++w) shared[w] &= pattern[w];
        const Node& n = nodes_[node];
        if (n.zero_child < 0) break;
        node = column_set(pattern, n.split) ? n.one_child : n.zero_child;
    }
    Leaf& leaf = leaves_[nodes_[node].leaf];
    leaf.rows.push_back(row);
    leaf.patterns.insert(leaf.patterns.end(), pattern, pattern + words_);
    ++size_;
    if (leaf.rows.size() > leaf_capacity && leaf.rows.size() % leaf_capacity == 1) {
        split_leaf(node);
    }
}

unsigned Pattern_Tree::best_split(const Leaf& leaf) const {
    std::vector<unsigned> ones(columns_, 0);
    for (std::size_t i = 0; i < leaf.rows.size(); ++i) {
        const unsigned* pattern = leaf.patterns.data() + i * words_;
        for (unsigned k = 0; k < columns_; ++k) ones[k] += column_set(pattern, k) ? 1 : 0;
    }
    const std::size_t rows = leaf.rows.size();
    unsigned best = columns_;
    std::size_t best_smaller = 0;
    for (unsigned k = 0; k < columns_; ++k) {
        const std::size_t smaller = std::min<std::size_t>(ones[k], rows - ones[k]);
        if (smaller > best_smaller) {
            best = k;
            best_smaller = smaller;
        }
    }
    return best;
}

void Pattern_Tree::split_leaf(int node) {
    const unsigned column = best_split(leaves_[nodes_[node].leaf]);
    // Rows that no column tells apart stay together; the leaf tries again once it has grown by
    // another leaf's worth of rows.
    if (column == columns_) return;
    const int zero = new_leaf();
    const int one = new_leaf();
    Leaf old = std::move(leaves_[nodes_[node].leaf]);
    leaves_[nodes_[node].leaf] = Leaf();
    for (std::size_t i = 0; i < old.rows.size(); ++i) {
        const unsigned* pattern = old.patterns.data() + i * words_;
        Leaf& to = leaves_[nodes_[column_set(pattern, column) ? one : zero].leaf];
        to.rows.push_back(old.rows[i]);
        to.patterns.insert(to.patterns.end(), pattern, pattern + words_);
    }
    // The old leaf's slot in leaves_ stays empty; the two new leaves hold its rows.
    nodes_[node] = Node{column, zero, one, -1};
    recompute_common(zero);
    recompute_common(one);
}

void Pattern_Tree::erase(unsigned row, const unsigned* pattern) {
    int node = 0;
    while (nodes_[node].zero_child >= 0) {
        node = column_set(pattern, nodes_[node].split) ? nodes_[node].one_child
                                                       : nodes_[node].zero_child;
    }
    Leaf& leaf = leaves_[nodes_[node].leaf];
    const auto at = std::find(leaf.rows.begin(), leaf.rows.end(), row);
    if (at == leaf.rows.end()) throw std::logic_error("Pattern_Tree::erase: row not filed");
    const std::size_t i = static_cast<std::size_t>(at - leaf.rows.begin());
    const std::size_t last = leaf.rows.size() - 1;
    leaf.rows[i] = leaf.rows[last];
    std::copy_n(leaf.patterns.begin() + last * words_, words_, leaf.patterns.begin() + i * words_);
    leaf.rows.pop_back();
    leaf.patterns.resize(last * words_);
    --size_;
    recompute_common(node);
}

void Pattern_Tree::recompute_common(int node) {
    unsigned* shared = common(node);
    std::fill_n(shared, words_, ~0u);
    const Node& n = nodes_[node];
    if (n.zero_child >= 0) {
        for (int child : {n.zero_child, n.one_child}) {
            const unsigned* below = common(child);
            for (unsigned w = 0; w < words_; ++w) shared[w] &= below[w];
        }
        return;
    }
    const Leaf& leaf = leaves_[n.leaf];
    for (std::size_t i = 0; i < leaf.rows.size(); ++i) {
        const unsigned* pattern = leaf.patterns.data() + i * words_;
        for (unsigned w = 0; w < words_; ++w) shared[w] &= pattern[w];
    }
}

void Pattern_Tree::refresh_common() {
    // Children are made after their parents: from the last node back, every node's children
    // are exact before the node itself.
    for (std::size_t node = nodes_.size(); node-- > 0;) recompute_common(static_cast<int>(node));
}

template <unsigned Words>
unsigned Pattern_Tree::find_inside_fixed(const unsigned* outer) const {
    const unsigned width = Words != 0 ? Words : words_;
    // Nodes still to visit; one list per thread, kept for its capacity.
    thread_local std::vector<int> pending;
    pending.assign(1, 0);
    while (!pending.empty()) {
        const int index = pending.back();
        pending.pop_back();
        if (!support_inside(common(index), outer, width)) continue;
        const Node& node = nodes_[index];
        if (node.zero_child >= 0) {
            // Rows non-zero in the split column lie inside only when the outer pattern has it.
            if (column_set(outer, node.split)) pending.push_back(node.one_child);
            pending.push_back(node.zero_child);
            continue;
        }
        const Leaf& leaf = leaves_[node.leaf];
        const unsigned* pattern = leaf.patterns.data();
        for (std::size_t i = 0; i < leaf.rows.size(); ++i, pattern += width) {
            if (support_inside(pattern, outer, width)) return leaf.rows[i];
        }
    }
    return no_row;
}

unsigned Pattern_Tree::find_inside(const unsigned* outer) const {
    return with_fixed_width(words_, [&](auto fixed) { return find_inside_fixed<fixed>(outer); });
}
