#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Each coefficient is taken as the shortest decimal that reads back as the same double (the
// number as the model wrote it), so 1.496 is 1496/1000 and 0.1 is 1/10.
std::string shortest_decimal(double value);

// The coefficients of one reaction multiplied by the smallest positive integer that makes every
// one of them whole; the factor is 1 when they are whole already.
struct scaled_coefficients {
    std::int64_t factor = 1;
    std::vector<std::int64_t> values;
};

// A reaction that needs a larger factor is refused: such coefficients are not meant as exact
// decimals, and the tableau's integers would grow out of range.
constexpr std::int64_t largest_scaling_factor = 1000000;

// Scales the coefficients of the reaction named reaction, whose metabolites are named in
// metabolites (one per coefficient). Throws an import_error naming the coefficient when the
// factor would exceed largest_scaling_factor or a scaled coefficient's magnitude exceeds
// INT32_MAX, the largest amount the network file holds (so -2^31 is refused too).
scaled_coefficients scale_to_integers(const std::vector<double>& coefficients,
                                      const std::vector<std::string>& metabolites,
                                      const std::string& reaction);
