#include <gtest/gtest.h>

#include "report/reduction_listing.h"
#include "tests/support/records.h"
#include "tests/support/report_file.h"

namespace {

// Each cancelled subset is named by its number in the subsets listing, on the console and in the
// report, in the order of cancelling.
TEST(Reduction_Listing, CancelledSubsetsNamedOnConsoleAndInReport) {
    Report_File report;
    ::testing::internal::CaptureStdout();
    fcancelled_subsets(report.get(), {2, 0});
    const std::string console = ::testing::internal::GetCapturedStdout();
    const auto message = [](int number, const char* further) {
        return "\n!!! Subset " + std::to_string(number) +
               " with contradictory irreversibility constraints, please check your model.\n"
               "    Enzymes of that subset are cancelled for " +
               further + "calculations.\n";
    };
    EXPECT_EQ(console, message(3, "the further ") + "\r                  \r" +
                           message(1, "the further ") + "\r                  \r");
    EXPECT_EQ(report.text(), message(3, "further ") + message(1, "further "));
}

// A reduced system without rows lists no matrix (nor its flags), and every metabolite as no
// branch point.
TEST(Reduction_Listing, EmptyReducedSystem) {
    Report_File report;
    Owned_Mat r = make_rowless_mat(0);
    Owned_Vector branch = make_vector({0, 0});
    Owned_List metabolites = make_list({"A", "B"});
    freduced_system(report.get(), r.get(), nullptr, branch.get(), metabolites.get());
    const std::string met = "met" + std::string(17, ' ');
    EXPECT_EQ(report.text(),
              "\nREDUCED SYSTEM with 0 branch point metabolites in 0 reactions (columns)\n"
              "\n-> Branch metabolites are : \n" +
                  met + "\tcons\tbuilt\treactions\n\n-> No branch metabolites are : \n" + met +
                  "\tcons\tbuilt\treactions\nA" + std::string(19, ' ') + "\t0\t0\t0\t\nB" +
                  std::string(19, ' ') + "\t0\t0\t0\t\n");
}

}  // namespace
