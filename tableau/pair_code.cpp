#include "tableau/pair_code.h"

#include <algorithm>

Pair_Code Pair_Code::for_slots(std::size_t slots) {
    Pair_Code code;
    code.row_bits_ = std::max(1u, static_cast<unsigned>(std::bit_width(slots > 0 ? slots - 1 : 0)));
    code.bytes_ = std::max(4u, (2 * code.row_bits_ + 7) / 8);
    code.row_mask_ = (std::uint64_t(1) << code.row_bits_) - 1;
    return code;
}
