#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "matrix/records.h"
#include "model/module_values.h"
#include "statistics/participation.h"
#include "tests/support/records.h"

namespace {

struct Metabolite {
    const char* name;
    int external;
    int reactions;
};

// Sets the module-level values in row order of N and builds the metabolite list, whose node
// order may differ: kinds are found by name.
class Participation : public ::testing::Test {
   protected:
    void SetUp() override {
        std::cout.flags(std::ios_base::dec | std::ios_base::skipws);
        std::cout.precision(6);
    }
    void TearDown() override {
        free_met_list(list);
        metabolites.clear();
        mets_cumul.clear();
        met_counter = 0;
    }
    void set_network(const std::vector<Metabolite>& rows, const std::vector<int>& list_order) {
        met_counter = static_cast<int>(rows.size());
        metabolites.clear();
        mets_cumul.clear();
        for (const Metabolite& m : rows) {
            metabolites.push_back(m.name);
            mets_cumul.push_back(m.reactions);
        }
        list = new_met_list();
        for (int i : list_order) {
            enc* node = append_node(list);
            node->name = rows[i].name;
            node->flag = rows[i].external;
        }
    }
    std::string run() {
        char* buffer = nullptr;
        size_t size = 0;
        FILE* report = open_memstream(&buffer, &size);
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(save_frequency_of_metabolites_in_output(report, list), 0);
        ::testing::internal::GetCapturedStdout();
        fclose(report);
        std::string text(buffer, size);
        free(buffer);
        return text;
    }
    enc* list = nullptr;
};

TEST_F(Participation, ListsMostConnectedFirstAndUsesUpTheCounts) {
    // A internal in 3 reactions, B external in 1, C internal in 2; rows: internal first.
    set_network({{"A", 0, 3}, {"C", 0, 2}, {"B", 1, 1}}, {2, 0, 1});
    EXPECT_EQ(run(),
              "\n"
              "  3 int      A\n"
              "  2 int      C\n"
              "  1 external B\n"
              "  3 metabolites,   6 is the summarized frequency\n"
              // Histogram (0, 1, 1, 1): all log-frequencies equal, no correlation.
              "\nedges\tfrequency of nodes\n"
              "  1\t  1\n  2\t  1\n  3\t  1\n"
              "freq_of_nodes = 1.0000 * edges^(+0.0000)\n"
              "Linear correlation coefficient r = -2.000000\n"
              "The dependency is not significant.\n");
    EXPECT_EQ(mets_cumul, std::vector<int>({0, 0, 0}));
}

TEST_F(Participation, EqualCountsKeepRowOrderAndUnusedMetabolitesComeLast) {
    set_network({{"P", 0, 1}, {"Q", 0, 0}, {"R", 0, 2}, {"S", 1, 2}, {"T", 1, 1}}, {0, 1, 2, 3, 4});
    const std::string text = run();
    EXPECT_EQ(text.substr(0, text.find("\nedges")),
              "\n"
              "  2 int      R\n"
              "  2 external S\n"
              "  1 int      P\n"
              "  1 external T\n"
              "  0 int      Q\n"
              "  5 metabolites,   6 is the summarized frequency\n");
    // The histogram counts metabolites per number of reactions, from 1 on.
    EXPECT_NE(text.find("\nedges\tfrequency of nodes\n  1\t  2\n  2\t  2\n"), std::string::npos);
    EXPECT_EQ(mets_cumul, std::vector<int>(5, 0));
}

TEST_F(Participation, NoMetaboliteInAnyReactionEndsWithZeroAmountMessage) {
    set_network({{"A", 0, 0}, {"B", 1, 0}}, {0, 1});
    EXPECT_EXIT(
        {
            dup2(fileno(stderr), fileno(stdout));
            save_frequency_of_metabolites_in_output(tmpfile(), list);
        },
        ::testing::ExitedWithCode(1),
        ::testing::Eq(std::string("\namount for allocation is zero : x in mlr not allocated\n"
                                  "Programm prematurely finished.\n")));
}

}  // namespace
