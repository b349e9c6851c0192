#pragma once

#include <cstddef>
#include <string>

// Where a byte of a text stands: its line and its column, both counted from 1, the column in
// bytes.
struct text_position {
    std::size_t line = 1;
    std::size_t column = 1;
};

// The position of the byte at offset in text; an offset at or past the end is placed behind the
// last byte.
text_position position_in(const std::string& text, std::size_t offset);
