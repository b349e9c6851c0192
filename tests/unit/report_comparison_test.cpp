#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "report/comparison.h"
#include "report/report_file.h"
#include "tests/support/records.h"
#include "tests/support/report_file.h"
#include "tests/support/stops.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

// A closed report holding the text the run wrote before the comparison is appended.
class Comparison : public ::testing::Test {
   protected:
    void SetUp() override {
        // Parameterised test names hold a slash; the file name must not.
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& letter : name)
            if (letter == '/') letter = '_';
        path = ::testing::TempDir() + "report_comparison_" + name + ".txt";
        std::ofstream(path) << "REPORT\n";
    }
    void TearDown() override { std::remove(path.c_str()); }

    std::string appended() const {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        const std::string all = text.str();
        EXPECT_EQ(all.rfind("REPORT\n", 0), 0u);
        return all.substr(7);
    }

    // Runs the comparison and returns what it printed on standard output.
    std::string compare(Wide_View CB, Wide_Mat& EM) {
        CaptureStdout();
        additional_em(path.c_str(), CB, EM);
        return GetCapturedStdout();
    }

    std::string path;
};

struct Comparison_Case {
    const char* title;
    Rows basis;
    Rows modes;
    const char* console;
    const char* report;
};

class Comparison_Cases : public Comparison,
                         public ::testing::WithParamInterface<Comparison_Case> {};

TEST_P(Comparison_Cases, AppendsModesEqualToBasis) {
    const Comparison_Case& c = GetParam();
    Owned_Mat CB = make_mat(c.basis);
    Wide_Mat EM = make_mat(c.modes);
    EXPECT_EQ(compare(CB.get(), EM), c.console);
    EXPECT_EQ(appended(), c.report);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Comparison_Cases,
    ::testing::Values(
        Comparison_Case{
            "AllModesEqual",
            {{1, 0, 1}, {0, 1, 1}},
            {{0, 1, 1}, {1, 0, 1}},
            "",
            "\nThe elementary modes ARE EQUAL to convex basis.\nConvex basis: 1 2 \n\n"},
        Comparison_Case{"OneModeOutsideBasis",
                        {{1, 1, 0}},
                        {{1, 1, 0}, {0, 1, 1}},
                        "",
                        "\nThe elementary mode Convex basis: 1 \n\n"},
        Comparison_Case{"ModesOneTwoFourEqual",
                        {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}},
                        {{1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 0, 0}, {0, 0, 1, 1}, {1, 0, 1, 0}},
                        "",
                        "\nThe elementary modes (2) Convex basis: 1 2 4 \n\n"},
        Comparison_Case{"BasisVectorNotElementary",
                        {{1, 0, 1}, {1, 1, 0}},
                        {{1, 0, 1}, {0, 1, 1}},
                        "Convex basis   2 is not elementary\n",
                        "\nConvex mode   2 not found in elementary modes."
                        "\nThe elementary mode Convex basis: 1 \n\n"},
        // Same reactions, other coefficients: elementary, but not equal to the mode.
        Comparison_Case{"SameSupportOtherCoefficients",
                        {{1, 2, 0}},
                        {{2, 1, 0}},
                        "",
                        "\nThe elementary mode Convex basis: \n\n"},
        // A zero row is no mode: it is not listed, and the modes after it close up.
        Comparison_Case{"ZeroModeNeitherListedNorCounted",
                        {{0, 1, 1}, {0, 0, 0}},
                        {{0, 0, 0}, {1, 0, 1}, {0, 1, 1}},
                        "",
                        "\nThe elementary mode Convex basis: 2 \n\n"}),
    [](const auto& info) { return std::string(info.param.title); });

// Random modes and a basis made of copies of some modes, of vectors with a mode's reactions but
// other coefficients, and of vectors with reaction sets of no mode; zero modes in between. The
// comparison must agree with the straightforward test of every basis vector against every mode.
class Random_Comparison : public Comparison, public ::testing::WithParamInterface<unsigned> {};

TEST_P(Random_Comparison, SameAsAllPairs) {
    std::mt19937 random(GetParam());
    const int columns = 70 + static_cast<int>(GetParam() % 3) * 30, modes = 400, vectors = 30;
    std::uniform_int_distribution<int> entry(-2, 2), pick(0, modes - 1), kind(0, 3);
    Rows em(modes, std::vector<int>(columns, 0)), cb;
    for (auto& row : em)
        if (pick(random) % 10 != 0)
            for (int& v : row) v = entry(random) * (pick(random) % 3 == 0);
    while (static_cast<int>(cb.size()) < vectors) {
        std::vector<int> row = em[pick(random)];
        const int k = kind(random);
        if (k == 1)  // same reactions, other coefficients
            for (int& v : row) v *= 3;
        if (k == 2)  // most likely the reaction set of no mode
            for (int& v : row) v = entry(random);
        cb.push_back(row);
    }

    std::string console, report, listed;
    int remaining = 0, zero_lines = 0;
    for (int c = 0; c < vectors; ++c) {
        bool found = false;
        for (int t = 0; t < modes && !found; ++t) {
            found = true;
            for (int j = 0; j < columns; ++j) found &= (cb[c][j] != 0) == (em[t][j] != 0);
        }
        if (found) continue;
        char line[80];
        snprintf(line, sizeof line, "Convex basis %3d is not elementary\n", c + 1);
        console += line;
        snprintf(line, sizeof line, "\nConvex mode %3d not found in elementary modes.", c + 1);
        report += line;
    }
    Rows em_after = em;
    for (int t = 0; t < modes; ++t) {
        const bool zero = em[t] == std::vector<int>(columns, 0);
        zero_lines += zero;
        const bool equal = !zero && std::find(cb.begin(), cb.end(), em[t]) != cb.end();
        if (equal) {
            em_after[t].assign(columns, 0);
            listed += std::to_string(t - zero_lines + 1) + " ";
        }
        remaining += !zero && !equal;
    }

    Owned_Mat CB = make_mat(cb);
    Wide_Mat EM = make_mat(em);
    EXPECT_EQ(compare(CB.get(), EM), console);
    EXPECT_FALSE(console.empty());
    EXPECT_FALSE(listed.empty());
    EXPECT_EQ(rows_of(EM), em_after);
    EXPECT_EQ(appended(), report + "\nThe elementary modes (" + std::to_string(remaining) +
                              ") Convex basis: " + listed + "\n\n");
}

INSTANTIATE_TEST_SUITE_P(Seeds, Random_Comparison, ::testing::Values(1u, 2u, 3u));

TEST_F(Comparison, ModesEqualToBasisAreZeroedInPlace) {
    Owned_Mat CB = make_mat({{1, 1, 0}});
    Wide_Mat EM = make_mat({{0, 1, 1}, {1, 1, 0}});
    compare(CB.get(), EM);
    EXPECT_EQ(rows_of(EM), (Rows{{0, 1, 1}, {0, 0, 0}}));
}

// The comparison made ahead, as beside the listings, and written later gives what the one call
// gives; a comparison of other modes is refused.
TEST_F(Comparison, MadeAheadWritesTheSame) {
    Owned_Mat CB = make_mat({{1, 0, 1}, {1, 1, 0}});
    Wide_Mat EM = make_mat({{0, 0, 0}, {1, 0, 1}, {0, 1, 1}});
    const Basis_Comparison found = compare_with_basis(CB.get(), EM);
    CaptureStdout();
    additional_em(path.c_str(), CB.get(), EM, found);
    EXPECT_EQ(GetCapturedStdout(), "Convex basis   2 is not elementary\n");
    EXPECT_EQ(appended(),
              "\nConvex mode   2 not found in elementary modes."
              "\nThe elementary mode Convex basis: 1 \n\n");
    EXPECT_EQ(rows_of(EM), (Rows{{0, 0, 0}, {0, 0, 0}, {0, 1, 1}}));
    Wide_Mat other = make_mat({{1, 0, 1}});
    EXPECT_THROW(additional_em(path.c_str(), CB.get(), other, found), std::invalid_argument);
}

TEST_F(Comparison, ModesWithoutRowsStop) {
    Owned_Mat CB = make_mat({{1, 1}});
    Wide_Mat EM = make_rowless_mat(2);
    EXPECT_STOPS_PRINTING(additional_em(path.c_str(), CB.get(), EM),
                          zero_amount("zero_lines in additional"));
}

TEST_F(Comparison, DifferentReactionCountsStop) {
    Owned_Mat CB = make_mat({{1, 1}});
    Wide_Mat EM = make_mat({{1, 1, 0}});
    EXPECT_STOPS_PRINTING(additional_em(path.c_str(), CB.get(), EM),
                          "\nThe convex basis has 2 reactions, the elementary modes 3.\n"
                          "Programm prematurely finished.\n");
}

TEST_F(Comparison, UnopenableReportStops) {
    Owned_Mat CB = make_mat({{1, 1}});
    Wide_Mat EM = make_mat({{1, 1}});
    const std::string missing = ::testing::TempDir() + "no_such_folder/report.txt";
    EXPECT_STOPS_PRINTING(additional_em(missing.c_str(), CB.get(), EM),
                          "\n" + missing + " File error: No such file or directory\n");
}

TEST_F(Comparison, UnwritableReportStops) {
    Owned_Mat CB = make_mat({{1, 1}});
    Wide_Mat EM = make_mat({{1, 1}});
    EXPECT_STOPS_PRINTING(additional_em("/dev/full", CB.get(), EM),
                          "\nThe report file /dev/full could not be written completely.\n"
                          "Programm prematurely finished.\n");
}

TEST(Report_File_Close, WrittenReportClosesQuietly) {
    const std::string path = ::testing::TempDir() + "report_close_test.txt";
    FILE* file = fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    fprintf(file, "text\n");
    CaptureStdout();
    close_report_or_stop(file, path.c_str());
    EXPECT_EQ(GetCapturedStdout(), "");
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "text");
    std::remove(path.c_str());
}

}  // namespace
