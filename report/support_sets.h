#pragma once

#include <cstdint>
#include <vector>

#include "matrix/records.h"

// The reaction sets (non-zero columns) of a matrix's rows as bit sets, 64 columns to a word,
// so that comparing two rows' reaction sets costs a few word operations instead of a scan.
class Support_Sets {
  public:
    explicit Support_Sets(const mat* m);

    // Number of non-zero entries of row r.
    int size(int r) const { return sizes_[r]; }

    // True when every non-zero column of row a is non-zero in row b.
    bool inside(int a, int b) const;

  private:
    int words_;
    std::vector<std::uint64_t> bits_;  // row r occupies words r * words_ to r * words_ + words_ - 1
    std::vector<int> sizes_;
};
