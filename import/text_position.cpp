#include "import/text_position.h"

#include <algorithm>

text_position position_in(const std::string& text, std::size_t offset) {
    offset = std::min(offset, text.size());
    const auto begin = text.begin();
    const auto at = begin + static_cast<std::ptrdiff_t>(offset);
    text_position position;
    position.line += static_cast<std::size_t>(std::count(begin, at, '\n'));
    const std::size_t line_start = offset == 0 ? std::string::npos : text.rfind('\n', offset - 1);
    position.column = line_start == std::string::npos ? offset + 1 : offset - line_start;
    return position;
}
