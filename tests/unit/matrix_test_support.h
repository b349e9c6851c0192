#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "matrix/owned_records.h"
#include "matrix/records.h"

using Rows = std::vector<std::vector<int>>;

// A matrix holding the given rows (all of the same length, at least one).
inline Owned_Mat make_mat(const Rows& rows) {
    mat* m = new_mat(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()), "test m",
                     "test m->head", "test row");
    for (int i = 0; i < m->rows; ++i)
        for (int o = 0; o < m->columns; ++o) m->head[i][o] = rows[i][o];
    return Owned_Mat(m);
}

// A rows x columns matrix whose entries are non-zero with probability `density`, drawn
// uniformly from [-largest, largest] without 0.
inline Rows random_rows(std::mt19937& random, int rows, int columns, double density, int largest) {
    std::bernoulli_distribution non_zero(density);
    std::uniform_int_distribution<int> magnitude(1, largest);
    std::bernoulli_distribution negative(0.5);
    Rows m(rows, std::vector<int>(columns, 0));
    for (auto& row : m)
        for (int& x : row)
            if (non_zero(random)) x = negative(random) ? -magnitude(random) : magnitude(random);
    return m;
}

inline Owned_Vector make_vector(const std::vector<int>& values) {
    simple_vector* v = new_vector(static_cast<int>(values.size()), "test v", "test v->head");
    for (int i = 0; i < v->length; ++i) v->head[i] = values[i];
    return Owned_Vector(v);
}

inline Rows rows_of(const mat* m) {
    Rows rows(m->rows);
    for (int i = 0; i < m->rows; ++i) rows[i].assign(m->head[i], m->head[i] + m->columns);
    return rows;
}

inline std::vector<int> values_of(const simple_vector* v) {
    return std::vector<int>(v->head, v->head + v->length);
}

// In a death-test child: standard output joins the captured error stream, so the whole text a
// stopping operation prints can be compared letter for letter.
inline void route_stdout_to_captured_stream() {
    fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

#define EXPECT_STOPS_PRINTING(statement, text) \
    EXPECT_EXIT(                               \
        {                                      \
            route_stdout_to_captured_stream(); \
            statement;                         \
        },                                     \
        ::testing::ExitedWithCode(1), ::testing::Eq(std::string(text)))

inline std::string zero_amount(const std::string& label) {
    return "\namount for allocation is zero : " + label + "\nProgramm prematurely finished.\n";
}

inline std::string overflow_in(const std::string& stage) {
    return "\nInteger overflow in " + stage +
           ": the network's coefficients are too large for 32-bit arithmetic.\nProgramm "
           "prematurely finished.\n";
}
