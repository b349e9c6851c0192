#include "import/scaling.h"

#include <algorithm>
#include <charconv>

#include "import/import_error.h"

namespace {

// A decimal number digits x 10^exponent, digits without trailing zeros.
struct decimal {
    std::int64_t digits = 0;
    int exponent = 0;
};

decimal decimal_of(double value) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    // "-1.496e+00": the digits without the point, then the exponent of the first digit.
    decimal result;
    int digit_count = 0;
    const char* at = text;
    const bool negative = *at == '-';
    if (negative) ++at;
    for (; at < end.ptr && *at != 'e'; ++at) {
        if (*at == '.') continue;
        result.digits = result.digits * 10 + (*at - '0');
        ++digit_count;
    }
    int first_exponent = 0;
    const char* exponent_start = at + 1;
    if (exponent_start < end.ptr && *exponent_start == '+') ++exponent_start;
    std::from_chars(exponent_start, end.ptr, first_exponent);
    result.exponent = first_exponent - (digit_count - 1);
    while (result.digits != 0 && result.digits % 10 == 0) {
        result.digits /= 10;
        ++result.exponent;
    }
    if (negative) result.digits = -result.digits;
    return result;
}

int times_divisible(std::int64_t value, int prime) {
    int count = 0;
    while (value != 0 && value % prime == 0) {
        value /= prime;
        ++count;
    }
    return count;
}

__int128 power(int base, int exponent) {
    __int128 result = 1;
    for (int i = 0; i < exponent; ++i) result *= base;
    return result;
}

}  // namespace

std::string shortest_decimal(double value) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end.ptr);
}

scaled_coefficients scale_to_integers(const std::vector<double>& coefficients,
                                      const std::vector<std::string>& metabolites,
                                      const std::string& reaction) {
    // A decimal d / 10^k in lowest terms has the denominator 2^x 5^y, so the smallest common
    // multiple of all denominators is 2^(largest x) 5^(largest y).
    std::vector<decimal> decimals;
    int twos = 0;
    int fives = 0;
    for (std::size_t i = 0; i < coefficients.size(); ++i) {
        const decimal d = decimal_of(coefficients[i]);
        decimals.push_back(d);
        if (d.exponent >= 0) continue;
        const int places = -d.exponent;
        const int x = places - std::min(places, times_divisible(d.digits, 2));
        const int y = places - std::min(places, times_divisible(d.digits, 5));
        // 2^20 and 5^9 are beyond the largest factor on their own.
        if (x > 20 || y > 9 || power(2, x) * power(5, y) > largest_scaling_factor)
            refuse(
                "Reaction %s cannot be scaled to whole coefficients: the coefficient %s of %s "
                "needs a factor above %lld.",
                reaction.c_str(), shortest_decimal(coefficients[i]).c_str(), metabolites[i].c_str(),
                static_cast<long long>(largest_scaling_factor));
        twos = std::max(twos, x);
        fives = std::max(fives, y);
    }
    const __int128 factor = power(2, twos) * power(5, fives);
    if (factor > largest_scaling_factor)
        refuse(
            "Reaction %s cannot be scaled to whole coefficients: together they need the factor "
            "%lld, which is above %lld.",
            reaction.c_str(), static_cast<long long>(factor),
            static_cast<long long>(largest_scaling_factor));

    scaled_coefficients result;
    result.factor = static_cast<std::int64_t>(factor);
    for (std::size_t i = 0; i < decimals.size(); ++i) {
        const decimal& d = decimals[i];
        // digits x 10^exponent x factor, exactly; beyond 10^12 it cannot fit 32 bits anyway.
        __int128 value = 0;
        bool fits = d.exponent <= 12;
        if (fits) {
            value = static_cast<__int128>(d.digits) * factor;
            if (d.exponent >= 0)
                value *= power(10, d.exponent);
            else
                value /= power(10, -d.exponent);
            // The network file writes each coefficient as a positive amount on its side. An
            // amount of 2^31 is a 32-bit value for kestrane only as a consumed one; written
            // backwards, or balanced by a boundary metabolite, it is refused. So every amount
            // stays within INT32_MAX, and -2^31 is refused too.
            fits = value >= -INT32_MAX && value <= INT32_MAX;
        }
        if (!fits) {
            if (result.factor == 1)
                refuse(
                    "Reaction %s: the coefficient %s of %s is too large: a network file holds "
                    "coefficients up to 2147483647 in magnitude.",
                    reaction.c_str(), shortest_decimal(coefficients[i]).c_str(),
                    metabolites[i].c_str());
            refuse(
                "Reaction %s: the coefficient %s of %s, scaled by %lld, is too large: a network "
                "file holds coefficients up to 2147483647 in magnitude.",
                reaction.c_str(), shortest_decimal(coefficients[i]).c_str(), metabolites[i].c_str(),
                static_cast<long long>(result.factor));
        }
        result.values.push_back(static_cast<std::int64_t>(value));
    }
    return result;
}
