#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "parser/parser.h"
#include "tests/support/file_contents.h"

// Converts the published models of ../shared/networks/sources with kestrane-import and checks
// the network files against the networks that were made from them by the same rules: the same
// reversible and irreversible reactions, the same internal metabolites and, reaction by
// reaction, the same coefficients of internal metabolites (external metabolites may be named
// otherwise). Where the number of elementary modes is known, kestrane runs on the converted
// file and must find that number. The bundled example is converted from its SBML form, and
// kestrane must write the same report as for the network file.
namespace {

namespace fs = std::filesystem;

// A scratch folder, removed with everything in it when the test ends.
struct Scratch {
    fs::path path;
    explicit Scratch(const std::string& name) {
        static int count = 0;
        path = fs::temp_directory_path() / ("kestrane_import_" + std::to_string(getpid()) + "_" +
                                            std::to_string(++count) + "_" + name);
        fs::create_directories(path);
    }
    ~Scratch() { fs::remove_all(path); }
};

// Runs the command in the folder with its console output in console.txt; returns the status.
int run_in(const fs::path& folder, const std::string& command) {
    const int status = std::system(
        ("cd '" + folder.string() + "' && LC_ALL=C " + command + " >console.txt 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// What the equations hold for the internal metabolites, as the project's reader reads it.
struct Internal_Network {
    std::set<std::string> reversible;
    std::set<std::string> irreversible;
    std::set<std::string> internal_metabolites;
    std::map<std::string, std::map<std::string, long>> coefficients;  // reaction -> metabolite

    bool operator==(const Internal_Network&) const = default;
};

void PrintTo(const Internal_Network& n, std::ostream* os) {
    *os << n.reversible.size() << " reversible and " << n.irreversible.size()
        << " irreversible reactions, " << n.internal_metabolites.size() << " internal metabolites";
}

// Reads the network file; a warning of the reader (a repeated name, a reaction without
// equation) fails the test.
Internal_Network read_internal_network(const fs::path& file) {
    testing::internal::CaptureStdout();
    const std::optional<network_file> read = parser(file.c_str());
    const std::string console = testing::internal::GetCapturedStdout();
    Internal_Network network;
    EXPECT_TRUE(read.has_value()) << file << ": " << console;
    EXPECT_EQ(console, "") << file;
    if (!read) return network;
    const std::vector<std::string>& internal = read->internal_metabolites;
    const std::vector<std::string>& irreversible = read->irreversible_reactions;
    const std::vector<std::string>& reversible = read->reversible_reactions;
    network.reversible.insert(reversible.begin(), reversible.end());
    network.irreversible.insert(irreversible.begin(), irreversible.end());
    network.internal_metabolites.insert(internal.begin(), internal.end());
    for (const auto& [position, coefficient] : read->coefficients) {
        const auto [m, j] = position;
        if (m >= internal.size()) continue;
        const std::string& reaction =
            j < irreversible.size() ? irreversible[j] : reversible[j - irreversible.size()];
        network.coefficients[reaction][internal[m]] =
            static_cast<long>(std::trunc(coefficient.value));
    }
    return network;
}

struct Import_Case {
    const char* model;
    const char* options;
    const char* published;  // the network made from the model, or nullptr
    std::size_t modes;      // known number of elementary modes, 0 where kestrane is not run
};

void PrintTo(const Import_Case& c, std::ostream* os) { *os << c.model << c.options; }

class Published_Model : public testing::TestWithParam<Import_Case> {};

TEST_P(Published_Model, ConvertsToThePublishedNetwork) {
    const fs::path networks = KESTRANE_NETWORKS_DIR;
    const fs::path model = networks / "sources" / GetParam().model;
    if (!fs::exists(model)) GTEST_SKIP() << model << " is not there";
#ifdef KESTRANE_SANITIZED
    if (GetParam().modes > 0) GTEST_SKIP() << "whole networks run in the optimised build only";
#endif
    const Scratch scratch(GetParam().model);
    ASSERT_EQ(run_in(scratch.path, std::string("'") + KESTRANE_IMPORT_BINARY + "' '" +
                                       model.string() + "' network.dat" + GetParam().options),
              0)
        << file_contents(scratch.path / "console.txt");
    const Internal_Network converted = read_internal_network(scratch.path / "network.dat");
    if (GetParam().published != nullptr) {
        EXPECT_EQ(converted, read_internal_network(networks / GetParam().published));
    }
    if (GetParam().modes == 0) return;

    ASSERT_EQ(run_in(scratch.path, std::string("'") + KESTRANE_BINARY + "' network.dat report.txt"),
              0)
        << file_contents(scratch.path / "console.txt");
    EXPECT_NE(file_contents(scratch.path / "console.txt")
                  .find("Found " + std::to_string(GetParam().modes) + " elementary modes\n"),
              std::string::npos);
}

const Import_Case import_cases[] = {
    {"cobrapy_textbook.xml.gz", " --drop Biomass_Ecoli_core", "ecoli_core_glc.dat", 16673},
    {"cobrapy_textbook.xml.gz", "", "ecoli_core_glc_biomass.dat", 0},
    {"cobrapy_mini_fbc1.xml", "", "ecoli_mini.dat", 1},
    {"masspy_textbook.json", "", "rbc_core.dat", 3769},
    {"masspy_SB2_Glycolysis.json", "", "rbc_glycolysis.dat", 4},
    {"masspy_SB2_AMPSalvageNetwork.json", "", "rbc_amp_salvage.dat", 17},
    {"masspy_Phosphate_Trafficking.json", "", "pi_trafficking.dat", 2},
    // Too many modes for the test run: the network alone is compared.
    {"commmodelpy_ecolicore2compressed.xml",
     " --drop Growth --drop AcUp --drop GlycUp --drop R_SuccUp", "ecc2comp_glc.dat", 0},
    // No network of ours was made from it: it must convert into a file the reader takes.
    {"cobrapy_e_coli_core.xml", "", nullptr, 0},
};

std::string case_name(const testing::TestParamInfo<Import_Case>& info) {
    std::string name = std::string(info.param.model) + info.param.options;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Sources, Published_Model, testing::ValuesIn(import_cases), case_name);

// The README's path from an SBML file to a report: the bundled example as SBML gives the
// report and console output of its network file.
TEST(Bundled_Example, GivesTheReportOfTheNetworkFile) {
    const Scratch imported("imported");
    const Scratch written("written");
    const fs::path examples = KESTRANE_EXAMPLES_DIR;
    ASSERT_EQ(run_in(imported.path, std::string("'") + KESTRANE_IMPORT_BINARY + "' '" +
                                        (examples / "branched.xml").string() + "' network.dat"),
              0)
        << file_contents(imported.path / "console.txt");
    fs::copy_file(examples / "branched.dat", written.path / "network.dat");
    for (const Scratch* run : {&imported, &written})
        ASSERT_EQ(
            run_in(run->path, std::string("'") + KESTRANE_BINARY + "' network.dat report.txt"), 0);
    EXPECT_EQ(file_contents(imported.path / "report.txt"),
              file_contents(written.path / "report.txt"));
    const std::regex time_line("Time used for calculations so far: [^\n]*");
    EXPECT_EQ(std::regex_replace(file_contents(imported.path / "console.txt"), time_line, ""),
              std::regex_replace(file_contents(written.path / "console.txt"), time_line, ""));
}

}  // namespace
