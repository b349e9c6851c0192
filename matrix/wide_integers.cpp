#include "matrix/wide_integers.h"

#include <charconv>
#include <stdexcept>

namespace {

// The tags of all widths, by index.
template <std::size_t... I>
Any_Width tag_at(std::size_t index, std::index_sequence<I...>) {
    Any_Width tags[] = {Any_Width(std::in_place_index<I>)...};
    return tags[index];
}

template <typename T>
void append_with_to_chars(std::string& text, T value) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text.append(digits, static_cast<std::size_t>(end - digits));
}

}  // namespace

Any_Width width_at(std::size_t index) {
    if (index >= width_count) throw std::out_of_range("width_at: no such width");
    return tag_at(index, std::make_index_sequence<width_count>());
}

const char* width_name(std::size_t index) {
    static const char* const names[] = {"32-bit", "64-bit", "128-bit", "unbounded"};
    if (index >= width_count) throw std::out_of_range("width_name: no such width");
    return names[index];
}

void append_decimal(std::string& text, int value) { append_with_to_chars(text, value); }

void append_decimal(std::string& text, std::int64_t value) { append_with_to_chars(text, value); }

void append_decimal(std::string& text, Int128 value) {
    // The magnitude as an unsigned number, so that even the most negative value has one.
    unsigned __int128 rest =
        value < 0 ? -static_cast<unsigned __int128>(value) : static_cast<unsigned __int128>(value);
    char digits[40];
    char* first = digits + sizeof digits;
    do {
        *--first = static_cast<char>('0' + static_cast<int>(rest % 10));
        rest /= 10;
    } while (rest != 0);
    if (value < 0) *--first = '-';
    text.append(first, static_cast<std::size_t>(digits + sizeof digits - first));
}

#ifdef KESTRANE_HAVE_GMP

void append_decimal(std::string& text, const mpz_class& value) {
    // mpz_sizeinbase may count one digit too many; the sign and the final NUL need two more.
    const std::size_t start = text.size();
    text.resize(start + mpz_sizeinbase(value.get_mpz_t(), 10) + 2);
    mpz_get_str(&text[start], 10, value.get_mpz_t());
    text.resize(start + std::char_traits<char>::length(&text[start]));
}

mpz_class to_mpz(Int128 value) {
    const unsigned __int128 m =
        value < 0 ? -static_cast<unsigned __int128>(value) : static_cast<unsigned __int128>(value);
    mpz_class result = static_cast<unsigned long>(m >> 64);
    result <<= 64;
    result += static_cast<unsigned long>(static_cast<std::uint64_t>(m));
    return value < 0 ? mpz_class(-result) : result;
}

Int128 to_int128(const mpz_class& value) {
    const mpz_class m = abs(value);
    const mpz_class high = m >> 64;
    // mpz_get_ui gives the lowest 64 bits of a larger number.
    const unsigned __int128 bits =
        (static_cast<unsigned __int128>(mpz_get_ui(high.get_mpz_t())) << 64) |
        mpz_get_ui(m.get_mpz_t());
    const Int128 result = static_cast<Int128>(bits);
    return sgn(value) < 0 ? -result : result;
}

#endif
