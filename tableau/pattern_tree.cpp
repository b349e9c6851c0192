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
    const int n = static_cast<int>(node_count_++);
    nodes_.insert(nodes_.end(), {0u, ~0u, ~0u, static_cast<unsigned>(leaves_.size())});
    // No rows yet: every column counts as common, so that no search enters the leaf.
    nodes_.resize(nodes_.size() + words_, ~0u);
    leaves_.emplace_back();
    return n;
}

void Pattern_Tree::append(Leaf& leaf, unsigned row, const unsigned* pattern) {
    leaf.entries.push_back(row);
    leaf.entries.insert(leaf.entries.end(), pattern, pattern + words_);
    ++leaf.rows;
}

void Pattern_Tree::insert(unsigned row, const unsigned* pattern) {
    int n = 0;
    while (true) {
        unsigned* record = node(n);
        for (unsigned w = 0; w < words_; ++w) record[common_field + w] &= pattern[w];
        if (is_leaf(record)) break;
        n = static_cast<int>(column_set(pattern, record[split_field]) ? record[one_field]
                                                                      : record[zero_field]);
    }
    Leaf& leaf = leaves_[node(n)[leaf_field]];
    append(leaf, row, pattern);
    ++size_;
    if (leaf.rows > leaf_capacity && leaf.rows % leaf_capacity == 1) split_leaf(n);
}

unsigned Pattern_Tree::best_split(const Leaf& leaf) const {
    std::vector<unsigned> ones(columns_, 0);
    for (std::size_t i = 0; i < leaf.rows; ++i) {
        const unsigned* pattern = leaf.entries.data() + i * entry_stride() + 1;
        for (unsigned k = 0; k < columns_; ++k) ones[k] += column_set(pattern, k) ? 1 : 0;
    }
    unsigned best = columns_;
    std::size_t best_smaller = 0;
    for (unsigned k = 0; k < columns_; ++k) {
        const std::size_t smaller = std::min<std::size_t>(ones[k], leaf.rows - ones[k]);
        if (smaller > best_smaller) {
            best = k;
            best_smaller = smaller;
        }
    }
    return best;
}

void Pattern_Tree::split_leaf(int n) {
    const unsigned column = best_split(leaves_[node(n)[leaf_field]]);
    // Rows that no column tells apart stay together; the leaf tries again once it has grown by
    // another leaf's worth of rows.
    if (column == columns_) return;
    const int zero = new_leaf();
    const int one = new_leaf();
    // The old leaf's slot in leaves_ stays empty; the two new leaves hold its rows.
    const Leaf old = std::move(leaves_[node(n)[leaf_field]]);
    leaves_[node(n)[leaf_field]] = Leaf();
    for (std::size_t i = 0; i < old.rows; ++i) {
        const unsigned* entry = old.entries.data() + i * entry_stride();
        const int child = column_set(entry + 1, column) ? one : zero;
        append(leaves_[node(child)[leaf_field]], entry[0], entry + 1);
    }
    unsigned* record = node(n);
    record[split_field] = column;
    record[zero_field] = static_cast<unsigned>(zero);
    record[one_field] = static_cast<unsigned>(one);
    recompute_common(zero);
    recompute_common(one);
}

void Pattern_Tree::erase(unsigned row, const unsigned* pattern) {
    int n = 0;
    while (!is_leaf(node(n))) {
        const unsigned* record = node(n);
        n = static_cast<int>(column_set(pattern, record[split_field]) ? record[one_field]
                                                                      : record[zero_field]);
    }
    Leaf& leaf = leaves_[node(n)[leaf_field]];
    const unsigned stride = entry_stride();
    std::size_t i = 0;
    while (i < leaf.rows && leaf.entries[i * stride] != row) ++i;
    if (i == leaf.rows) throw std::logic_error("Pattern_Tree::erase: row not filed");
    const std::size_t last = leaf.rows - 1;
    std::copy_n(leaf.entries.begin() + last * stride, stride, leaf.entries.begin() + i * stride);
    leaf.entries.resize(last * stride);
    leaf.rows = last;
    --size_;
    recompute_common(n);
}

void Pattern_Tree::recompute_common(int n) {
    unsigned* record = node(n);
    unsigned* shared = record + common_field;
    std::fill_n(shared, words_, ~0u);
    if (!is_leaf(record)) {
        for (unsigned child : {record[zero_field], record[one_field]}) {
            const unsigned* below = node(static_cast<int>(child)) + common_field;
            for (unsigned w = 0; w < words_; ++w) shared[w] &= below[w];
        }
        return;
    }
    const Leaf& leaf = leaves_[record[leaf_field]];
    for (std::size_t i = 0; i < leaf.rows; ++i) {
        const unsigned* pattern = leaf.entries.data() + i * entry_stride() + 1;
        for (unsigned w = 0; w < words_; ++w) shared[w] &= pattern[w];
    }
}

void Pattern_Tree::refresh_common() {
    // Children are made after their parents: from the last node back, every node's children
    // are exact before the node itself.
    for (std::size_t n = node_count_; n-- > 0;) recompute_common(static_cast<int>(n));
}

template <unsigned Words>
const unsigned* Pattern_Tree::find_inside_fixed(const unsigned* outer, unsigned skip,
                                                unsigned also_skip) const {
    const unsigned width = Words != 0 ? Words : words_;
    const unsigned stride = 1 + width;
    // Nodes still to visit; one list per thread, kept for its capacity.
    thread_local std::vector<unsigned> pending;
    pending.assign(1, 0);
    while (!pending.empty()) {
        const unsigned* record = node(static_cast<int>(pending.back()));
        pending.pop_back();
        if (!support_inside(record + common_field, outer, width)) continue;
        if (!is_leaf(record)) {
            // Rows non-zero in the split column lie inside only when the outer pattern has it;
            // then they are searched first (they are pushed last): measured on the big networks,
            // a row inside the union turns up sooner among them.
            pending.push_back(record[zero_field]);
            if (column_set(outer, record[split_field])) pending.push_back(record[one_field]);
            continue;
        }
        const Leaf& leaf = leaves_[record[leaf_field]];
        const unsigned* entry = leaf.entries.data();
        for (std::size_t i = 0; i < leaf.rows; ++i, entry += stride) {
            if (support_inside(entry + 1, outer, width) && entry[0] != skip &&
                entry[0] != also_skip) {
                return entry;
            }
        }
    }
    return nullptr;
}

unsigned Pattern_Tree::find_inside(const unsigned* outer) const {
    return find_inside_except(outer, no_row, no_row);
}

unsigned Pattern_Tree::find_inside_except(const unsigned* outer, unsigned skip,
                                          unsigned also_skip) const {
    const unsigned* entry = with_fixed_width(
        words_, [&](auto fixed) { return find_inside_fixed<fixed>(outer, skip, also_skip); });
    return entry != nullptr ? entry[0] : no_row;
}

const unsigned* Pattern_Tree::find_entry_inside(const unsigned* outer) const {
    return with_fixed_width(
        words_, [&](auto fixed) { return find_inside_fixed<fixed>(outer, no_row, no_row); });
}
