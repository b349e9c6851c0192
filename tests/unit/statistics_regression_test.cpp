#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <regex>
#include <string>
#include <vector>

#include "statistics/correlation.h"
#include "statistics/regression.h"

namespace {

// A report written into memory, read back as text.
class Memory_Report {
   public:
    Memory_Report() : file(open_memstream(&buffer, &size)) {}
    ~Memory_Report() {
        fclose(file);
        free(buffer);
    }
    std::string text() {
        fflush(file);
        return std::string(buffer, size);
    }
    FILE* file;

   private:
    char* buffer = nullptr;
    size_t size = 0;
};

// Console output is compared with the stream's default formatting, as a run has it before
// any stage changes the precision.
class Statistics_Console : public ::testing::Test {
   protected:
    void SetUp() override {
        std::cout.flags(std::ios_base::dec | std::ios_base::skipws);
        std::cout.precision(6);
        std::cout.fill(' ');
    }
};

struct Regression_Case {
    const char* name;
    std::vector<int> histogram;  // entry 0 ignored
    std::string report;
    std::string console;
};

// The fit of equal log-frequencies has slope zero up to rounding, whose sign is noise: zeros
// printed with either sign are compared as "0.0000...".
std::string signless_zeros(const std::string& text) {
    static const std::regex signed_zero("[+-](0\\.0+)(?=[^0-9])");
    return std::regex_replace(text, signed_zero, "$1");
}

const std::string fg_header = "\nFG\t5%\t1%\t0,1%\n\n";

const Regression_Case regression_cases[] = {
    {"power_law_8_4_2",
     {0, 8, 4, 0, 2},
     "\nedges\tfrequency of nodes\n"
     "  1\t  8\n  2\t  4\n  4\t  2\n"
     "freq_of_nodes = 8.0000 * edges^(-1.0000)\n"
     "Linear correlation coefficient r = -1.000000\n"
     "The dependency is significant (p<0.001).\n",
     "\nb1 = -1.000000\tb2 = 0.903090\t\n"
     "\nLinear correlation coefficient r = -1\t(PEARSON)\n" +
         fg_header + "5\t0.754\t0.875\t0.951\t\n\n" + "The dependency is significant (p<0.1%).\n"},
    // Seven points: the row for 5 degrees of freedom.
    {"significant_at_5_percent",
     {0, 9, 5, 6, 3, 4, 2, 1},
     "\nedges\tfrequency of nodes\n"
     "  1\t  9\n  2\t  5\n  3\t  6\n  4\t  3\n  5\t  4\n  6\t  2\n  7\t  1\n"
     "freq_of_nodes = 10.8353 * edges^(-0.9270)\n"
     "Linear correlation coefficient r = -0.864742\n"
     "The dependency is significant (p<0.05).\n",
     "\nb1 = -0.927045\tb2 = 1.034842\t\n"
     "\nLinear correlation coefficient r = -0.864742\t(PEARSON)\n" +
         fg_header + "5\t0.754\t0.875\t0.951\t\n\n" + "The dependency is significant (p<5%).\n"},
    {"significant_at_1_percent",
     {0, 9, 5, 6, 3, 1, 2, 1},
     "\nedges\tfrequency of nodes\n"
     "  1\t  9\n  2\t  5\n  3\t  6\n  4\t  3\n  5\t  1\n  6\t  2\n  7\t  1\n"
     "freq_of_nodes = 11.2426 * edges^(-1.1200)\n"
     "Linear correlation coefficient r = -0.884260\n"
     "The dependency is significant (p<0.01).\n",
     "\nb1 = -1.119953\tb2 = 1.050866\t\n"
     "\nLinear correlation coefficient r = -0.88426\t(PEARSON)\n" +
         fg_header + "5\t0.754\t0.875\t0.951\t\n\n" + "The dependency is significant (p<1%).\n"},
    {"single_entry",
     {0, 0, 0, 5},
     "\nedges\tfrequency of nodes\n"
     "  3\t  5\n"
     "A regression equation of edges and nodes is senseless.\n",
     ""},
    // Every metabolite count occurs equally often: the log-frequencies are all equal, so no
    // correlation exists and none may be called significant (rounding leaves their sum of
    // squares slightly above zero here).
    {"equal_frequencies",
     {0, 2, 2, 2},
     "\nedges\tfrequency of nodes\n"
     "  1\t  2\n  2\t  2\n  3\t  2\n"
     "freq_of_nodes = 2.0000 * edges^(0.0000)\n"
     "Linear correlation coefficient r = -2.000000\n"
     "The dependency is not significant.\n",
     "\nb1 = 0.000000\tb2 = 0.301030\t\n"
     "\nLinear correlation coefficient r = -2\t(PEARSON)\n" +
         fg_header + "5\t0.754\t0.875\t0.951\t\n\n" +
         "The dependency is not significant. (p>5%)\n"},
};

class Edge_Node_Regression : public Statistics_Console,
                             public ::testing::WithParamInterface<Regression_Case> {};

TEST_P(Edge_Node_Regression, WritesReportAndConsole) {
    const Regression_Case& c = GetParam();
    std::vector<int> histogram = c.histogram;
    Memory_Report report;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(save_frequency_of_edges_and_nodes(report.file, histogram.data(),
                                                static_cast<int>(histogram.size()) - 1),
              0);
    EXPECT_EQ(signless_zeros(::testing::internal::GetCapturedStdout()), c.console);
    EXPECT_EQ(signless_zeros(report.text()), c.report);
}

INSTANTIATE_TEST_SUITE_P(Histograms, Edge_Node_Regression, ::testing::ValuesIn(regression_cases),
                         [](const auto& info) { return std::string(info.param.name); });

// Runs the statement with standard output sent to standard error, where the death test
// reads it.
template <typename Statement>
void console_to_stderr(Statement statement) {
    dup2(fileno(stderr), fileno(stdout));
    statement();
}

TEST(Edge_Node_Regression_Death, EmptyHistogramEndsWithZeroAmountMessage) {
    int histogram[1] = {0};
    EXPECT_EXIT(console_to_stderr([&] { save_frequency_of_edges_and_nodes(stdout, histogram, 0); }),
                ::testing::ExitedWithCode(1),
                ::testing::Eq(std::string("\namount for allocation is zero : x in mlr not "
                                          "allocated\nProgramm prematurely finished.\n")));
}

struct Significance_Case {
    const char* name;
    int points;          // degrees of freedom + 2
    double coefficient;  // as if computed by r()
    int expected;
    const char* row;  // the table row printed
    const char* verdict;
};

const Significance_Case significance_cases[] = {
    {"below_first_row_uses_df_5", 3, 0.8, 1, "5\t0.754\t0.875\t0.951\t",
     "The dependency is significant (p<5%)."},
    {"equal_to_5_percent_value", 7, 0.754, 0, "5\t0.754\t0.875\t0.951\t",
     "The dependency is not significant. (p>5%)"},
    {"equal_to_1_percent_value", 7, -0.875, 1, "5\t0.754\t0.875\t0.951\t",
     "The dependency is significant (p<5%)."},
    {"equal_to_0_1_percent_value", 7, 0.951, 2, "5\t0.754\t0.875\t0.951\t",
     "The dependency is significant (p<1%)."},
    {"exact_row_df_30", 32, 0.555, 3, "30\t0.349\t0.449\t0.554\t",
     "The dependency is significant (p<0.1%)."},
    {"df_31_uses_row_35", 33, 0.33, 1, "35\t0.325\t0.418\t0.519\t",
     "The dependency is significant (p<5%)."},
    {"df_2000_uses_last_row", 2002, 0.06, 2, "2000\t0.044\t0.058\t0.073\t",
     "The dependency is significant (p<1%)."},
    {"df_above_2000_uses_last_row", 100000, -0.05, 1, "2000\t0.044\t0.058\t0.073\t",
     "The dependency is significant (p<5%)."},
};

class Significance : public Statistics_Console,
                     public ::testing::WithParamInterface<Significance_Case> {};

TEST_P(Significance, ComparesStrictlyWithTheRoundedUpRow) {
    const Significance_Case& c = GetParam();
    Linear_Correlation correlation(nullptr, nullptr, c.points, c.coefficient);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(correlation.reference_r_2sides(), c.expected);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              fg_header + c.row + "\n\n" + c.verdict + "\n");
}

INSTANTIATE_TEST_SUITE_P(Table, Significance, ::testing::ValuesIn(significance_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Table_R_2sides, RowsAscendAndCriticalValuesGrowWithTheLevel) {
    EXPECT_EQ(Table_r_2sides[0][0], 5.0);
    EXPECT_EQ(Table_r_2sides[table_r_rows - 1][0], 2000.0);
    EXPECT_EQ(Table_r_2sides[26][0], 35.0);
    EXPECT_EQ(Table_r_2sides[26][1], 0.325);
    for (int row = 0; row < table_r_rows; ++row) {
        if (row > 0) {
            EXPECT_GT(Table_r_2sides[row][0], Table_r_2sides[row - 1][0]) << row;
            EXPECT_LT(Table_r_2sides[row][1], Table_r_2sides[row - 1][1]) << row;
        }
        EXPECT_LT(Table_r_2sides[row][1], Table_r_2sides[row][2]) << row;
        EXPECT_LT(Table_r_2sides[row][2], Table_r_2sides[row][3]) << row;
    }
}

TEST(Linear_Correlation_R, PearsonOfKnownSample) {
    double x[] = {1, 2, 3, 4};
    double y[] = {2, 4, 5, 4};
    Linear_Correlation correlation(x, y, 4, -2.0);
    EXPECT_DOUBLE_EQ(static_cast<double>(correlation.Sxx()), 5.0);
    EXPECT_DOUBLE_EQ(static_cast<double>(correlation.Syy()), 4.75);
    EXPECT_DOUBLE_EQ(static_cast<double>(correlation.Sxy()), 3.5);
    EXPECT_NEAR(correlation.r(), 3.5 / std::sqrt(23.75), 1e-15);
    EXPECT_NEAR(correlation.coefficient, 3.5 / std::sqrt(23.75), 1e-15);
    EXPECT_NEAR(correlation.determination, 12.25 / 23.75, 1e-15);
}

TEST(Linear_Correlation_R, ConstantSampleKeepsTheInitialValue) {
    // Equal values whose sum of squares rounding leaves slightly below zero.
    std::vector<double> x, y;
    for (int i = 1; i <= 7; ++i) {
        x.push_back(std::log10(i));
        y.push_back(std::log10(2.0));
    }
    ASSERT_NE(Variance(x.data(), y.data(), 7).Syy(), 0.0L);
    Linear_Correlation correlation(x.data(), y.data(), 7, -2.0);
    EXPECT_EQ(correlation.r(), -2.0);
    EXPECT_EQ(correlation.coefficient, -2.0);
    EXPECT_EQ(correlation.determination, -2.0);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(correlation.reference_r_2sides(), 0);
    ::testing::internal::GetCapturedStdout();
}

TEST(Variance_Sums, NoPointsGiveLargestSinglePrecisionForSxx) {
    Variance empty(nullptr, nullptr, 0);
    EXPECT_EQ(empty.Sxx(), 3.4028235e38L);
    EXPECT_EQ(empty.Syy(), 0.0L);
    EXPECT_EQ(empty.Sxy(), 0.0L);
}

}  // namespace
