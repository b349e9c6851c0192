#pragma once

#include <cstdint>
#include <vector>

#include "matrix/records.h"

// The reaction sets (non-zero columns) of a matrix's rows as bit sets, 64 columns to a word,
// so that comparing two rows' reaction sets costs a few word operations instead of a scan.
// Word w of every row lies in one run, so that one row can be compared with a block of rows
// in a loop the compiler turns into vector instructions.
class Support_Sets {
  public:
    explicit Support_Sets(const mat* m);

    // Number of non-zero entries of row r.
    int size(int r) const { return sizes_[r]; }

    // For every row g in [first, last): nested[g - first] = 1 when the reaction sets of rows d
    // and g are equal or one lies inside the other, else 0.
    void find_nested(int d, int first, int last, unsigned char* nested) const;

  private:
    int rows_;
    int words_;
    std::vector<std::uint64_t> bits_;  // word w of row r at w * rows_ + r
    std::vector<int> sizes_;
};
