#include "report/support_tree.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

int support_words(int columns) { return columns > 64 ? (columns + 63) / 64 : 1; }

namespace {

// A node with at most this many rows is searched row by row: splitting it further costs more
// nodes than the rows it would let a search skip.
constexpr int leaf_rows = 16;

// Rows of a node that choose its split column.
constexpr int split_sample = 1024;

}  // namespace

Support_Tree::Support_Tree(Wide_View m) : words_(support_words(m.columns())) {
    const int rows = m.rows() > 0 ? m.rows() : 0;
    sizes_.assign(rows, 0);
    position_.assign(rows, -1);
    m.visit([&](const auto* record) {
        std::vector<std::uint64_t> bits(words_);
        for (int r = 0; r < rows; ++r) {
            support_bits(record->head[r], record->columns, bits.data());
            for (std::uint64_t word : bits) sizes_[r] += std::popcount(word);
            if (sizes_[r] == 0) continue;
            order_.push_back(r);
            bits_.insert(bits_.end(), bits.begin(), bits.end());
        }
    });
    if (order_.empty()) return;
    nodes_.push_back(Node{0, static_cast<int>(order_.size()), -1, -1, 0});
    common_.resize(words_);
    build(0);
    for (std::size_t p = 0; p < order_.size(); ++p) position_[order_[p]] = static_cast<int>(p);
}

int Support_Tree::split_column(int begin, int end, const std::uint64_t* all) const {
    // A large node is judged by evenly spread rows of it, at most split_sample of them: that
    // picks about as even a split, and the tree finds the same rows whatever its splits. Only
    // when the sample has no column that tells its rows apart are all rows counted.
    const int rows = end - begin;
    for (int step = rows > split_sample ? rows / split_sample : 1;; step = 1) {
        int sampled = 0;
        std::vector<int> count(std::size_t(words_) * 64, 0);
        for (int p = begin; p < end; p += step, ++sampled) {
            for (int w = 0; w < words_; ++w) {
                for (std::uint64_t x = row_bits(p)[w] & ~all[w]; x != 0; x &= x - 1)
                    ++count[w * 64 + std::countr_zero(x)];
            }
        }
        int split = -1;
        long best = 0;
        for (int j = 0; j < words_ * 64; ++j) {
            if (count[j] == 0 || count[j] == sampled) continue;
            const long balance = std::labs(2L * count[j] - sampled);
            if (split < 0 || balance < best) split = j, best = balance;
        }
        if (split >= 0 || step == 1) return split;
    }
}

void Support_Tree::build(int node) {
    const int begin = nodes_[node].begin, end = nodes_[node].end;
    std::uint64_t* all = &common_[std::size_t(node) * words_];
    std::copy(row_bits(begin), row_bits(begin) + words_, all);
    for (int p = begin; p < end; ++p)
        for (int w = 0; w < words_; ++w) all[w] &= row_bits(p)[w];
    if (end - begin <= leaf_rows) return;

    // Split by the reaction that divides the node's rows most evenly. Reactions common to all
    // rows or to none cannot split them; when no other is left, the rows share one reaction set.
    const int split = split_column(begin, end, all);
    if (split < 0) return;

    // Rows without the split reaction first, then those with it.
    const int word = split / 64;
    const std::uint64_t mask = std::uint64_t{1} << (split % 64);
    int middle = begin;
    for (int p = begin; p < end; ++p) {
        if ((bits_[std::size_t(p) * words_ + word] & mask) != 0) continue;
        if (p != middle) {
            std::swap(order_[p], order_[middle]);
            std::uint64_t* row = bits_.data() + std::size_t(p) * words_;
            std::swap_ranges(row, row + words_, bits_.data() + std::size_t(middle) * words_);
        }
        ++middle;
    }
    const int zero_child = static_cast<int>(nodes_.size());
    nodes_.push_back(Node{begin, middle, -1, -1, 0});
    nodes_.push_back(Node{middle, end, -1, -1, 0});
    nodes_[node].zero_child = zero_child;
    nodes_[node].one_child = zero_child + 1;
    nodes_[node].split = split;
    common_.resize(nodes_.size() * words_);
    build(zero_child);
    build(zero_child + 1);
}

std::vector<std::pair<int, int> > nested_support_pairs(Wide_View m) {
    const Support_Tree tree(m);
    std::vector<std::pair<int, int> > pairs;
    for (int r = 0; r < m.rows(); ++r) {
        const int nr = tree.size(r);
        // Every nested pair turns up in the search from its larger row; a pair of equal sets
        // turns up from both rows and is kept from the earlier one.
        tree.for_each_subset(r, [&](int g) {
            if (tree.size(g) < nr)
                pairs.emplace_back(std::min(r, g), std::max(r, g));
            else if (g > r)
                pairs.emplace_back(r, g);
        });
    }
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}
