#pragma once

#include <gtest/gtest.h>

#include <string>

// Death tests of operations that stop the program with a message on standard output.

// In a death-test child: standard output joins the captured error stream, so the whole text a
// stopping operation prints can be compared letter for letter.
void route_stdout_to_captured_stream();

#define EXPECT_STOPS_PRINTING(statement, text) \
    EXPECT_EXIT(                               \
        {                                      \
            route_stdout_to_captured_stream(); \
            statement;                         \
        },                                     \
        ::testing::ExitedWithCode(1), ::testing::Eq(std::string(text)))

// The message of a request for zero elements with the label.
std::string zero_amount(const std::string& label);
