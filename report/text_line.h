#pragma once

#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "matrix/wide_integers.h"

// One line of a listing, put together in memory and written in one go. The listings of the
// modes have a line for each of hundreds of thousands of modes, and formatting them piece by
// piece through fprintf takes a good part of a run. Each piece gives exactly the text of the
// printf conversion named beside it.
class Text_Line {
   public:
    // "%s": up to the first NUL character, as printf reads a C string.
    Text_Line& text(const char* s) {
        line_.append(s);
        return *this;
    }
    // "%s" of a string known to end before its first NUL character.
    Text_Line& text(std::string_view s) {
        line_.append(s);
        return *this;
    }
    // "%d" of a value of any width: its decimal digits, a minus sign in front when negative.
    template <typename T>
    Text_Line& number(const T& value) {
        append_decimal(line_, value);
        return *this;
    }
    // "%d" of the magnitude of a value of any width.
    template <typename T>
    Text_Line& magnitude(const T& value) {
        append_magnitude(line_, value);
        return *this;
    }
    // "%<width>d": right-aligned in at least `width` characters, blanks in front.
    Text_Line& padded(int value, int width) {
        char digits[12];
        char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        const int length = static_cast<int>(end - digits);
        if (length < width) line_.append(width - length, ' ');
        line_.append(digits, static_cast<std::size_t>(end - digits));
        return *this;
    }
    // Writes the line and starts an empty one.
    void write(FILE* file) {
        fwrite(line_.data(), 1, line_.size(), file);
        line_.clear();
    }

   private:
    std::string line_;
};
