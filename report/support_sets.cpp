#include "report/support_sets.h"

#include <algorithm>

Support_Sets::Support_Sets(const mat* m)
    : rows_(m->rows > 0 ? m->rows : 0), words_(m->columns / 64 + 1) {
    bits_.assign(static_cast<std::size_t>(rows_) * words_, 0);
    sizes_.assign(rows_, 0);
    for (int r = 0; r < rows_; ++r) {
        for (int j = 0; j < m->columns; ++j) {
            if (m->head[r][j] == 0) continue;
            bits_[static_cast<std::size_t>(j / 64) * rows_ + r] |= std::uint64_t{1} << (j % 64);
            ++sizes_[r];
        }
    }
}

namespace {

// Built for AVX2 as well, chosen at run time: the pair loop over many modes is its hot spot. A
// function of this file only: clang gives the clones' dispatcher no symbol that a caller in
// another file, which sees a declaration without the attribute, could link to.
__attribute__((target_clones("avx2", "default"))) void find_nested_in(const std::uint64_t* bits,
                                                                      int rows, int words, int d,
                                                                      int first, int last,
                                                                      unsigned char* nested) {
    constexpr int block = 256;
    std::uint64_t outside_g[block], outside_d[block];  // bits of d not in g, of g not in d
    for (int start = first; start < last; start += block) {
        const int count = std::min(block, last - start);
        std::fill(outside_g, outside_g + count, 0);
        std::fill(outside_d, outside_d + count, 0);
        for (int w = 0; w < words; ++w) {
            const std::uint64_t* word = &bits[static_cast<std::size_t>(w) * rows + start];
            const std::uint64_t mine = bits[static_cast<std::size_t>(w) * rows + d];
            for (int i = 0; i < count; ++i) {
                outside_g[i] |= mine & ~word[i];
                outside_d[i] |= word[i] & ~mine;
            }
        }
        for (int i = 0; i < count; ++i)
            nested[start - first + i] = (outside_g[i] == 0) | (outside_d[i] == 0);
    }
}

}  // namespace

void Support_Sets::find_nested(int d, int first, int last, unsigned char* nested) const {
    find_nested_in(bits_.data(), rows_, words_, d, first, last, nested);
}
