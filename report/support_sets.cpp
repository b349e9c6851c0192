#include "report/support_sets.h"

Support_Sets::Support_Sets(const mat* m) : words_(m->columns / 64 + 1) {
    const int rows = m->rows > 0 ? m->rows : 0;
    bits_.assign(static_cast<std::size_t>(rows) * words_, 0);
    sizes_.assign(rows, 0);
    for (int r = 0; r < rows; ++r) {
        std::uint64_t* word = &bits_[static_cast<std::size_t>(r) * words_];
        for (int j = 0; j < m->columns; ++j) {
            if (m->head[r][j] == 0) continue;
            word[j / 64] |= std::uint64_t{1} << (j % 64);
            ++sizes_[r];
        }
    }
}

bool Support_Sets::inside(int a, int b) const {
    const std::uint64_t* wa = &bits_[static_cast<std::size_t>(a) * words_];
    const std::uint64_t* wb = &bits_[static_cast<std::size_t>(b) * words_];
    for (int w = 0; w < words_; ++w)
        if ((wa[w] & ~wb[w]) != 0) return false;
    return true;
}
