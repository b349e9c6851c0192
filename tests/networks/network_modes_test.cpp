#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <ostream>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "parser/parser.h"
#include "tests/support/file_contents.h"

// Runs kestrane on real networks and checks the elementary modes of its report without the
// program's own mode code: every listed mode is a steady state of the internal metabolites, runs
// its irreversible reactions forwards, is elementary (the internal stoichiometric matrix on the
// mode's support has a one-dimensional nullspace), no two modes share a support, and their number
// is the one known from independent enumerations. Elementary modes with pairwise different
// supports are support-minimal among themselves, so together with the count the listing is the
// whole set of modes. The matrix columns are tied to reactions through the reversibility line
// and the named reaction listing between <EMODE_DATA> tags.
namespace {

namespace fs = std::filesystem;

// Values of a mode, exact up to 95 bits: a larger value fails the check as unreadable, so that
// every product with a 32-bit coefficient and every balance over the reactions stays in 128 bits.
using Value = __int128;
using Mode = std::vector<Value>;

// The value of a decimal number of at most 95 bits that is the whole of `text`.
std::optional<Value> parse_value(const std::string& text) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::size_t first = negative ? 1 : 0;
    if (text.size() == first || text.size() - first > 28) return std::nullopt;
    Value value = 0;
    for (std::size_t i = first; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    if (value >= (Value(1) << 95)) return std::nullopt;
    return negative ? -value : value;
}

struct Network {
    std::vector<std::string> reactions;  // irreversible ones in file order, then reversible ones
    std::vector<int> irreversible;       // per column: 1 irreversible, 0 reversible
    std::vector<std::string> internal_metabolites;
    std::vector<std::vector<std::int64_t>> nint;  // internal metabolites x reactions
};

// Reads the network with the project's file reader; the coefficient of an equation is the
// number written before the metabolite with its fraction dropped.
bool read_network(const std::string& file, Network& network) {
    const std::optional<network_file> read = parser(file.c_str());
    if (!read) return false;
    const std::vector<std::string>& reversible = read->reversible_reactions;
    const std::vector<std::string>& irreversible = read->irreversible_reactions;
    const std::vector<std::string>& internal = read->internal_metabolites;
    const coefficient_table& coefficients = read->coefficients;
    network.reactions = irreversible;
    network.reactions.insert(network.reactions.end(), reversible.begin(), reversible.end());
    network.irreversible.assign(network.reactions.size(), 0);
    std::fill_n(network.irreversible.begin(), irreversible.size(), 1);
    network.internal_metabolites = internal;
    const std::size_t n = network.reactions.size();
    network.nint.assign(internal.size(), std::vector<std::int64_t>(n));
    for (const auto& [position, coefficient] : coefficients) {
        const auto [m, j] = position;
        if (j >= n) return false;
        if (m < internal.size()) {
            network.nint[m][j] = static_cast<std::int64_t>(std::trunc(coefficient.value));
        }
    }
    return true;
}

// Collects failures by kind and keeps the first few of each kind for the message.
class Failures {
   public:
    void add(const std::string& kind, const std::string& detail) {
        if (++counts_[kind] <= 3) lines_.push_back(kind + ": " + detail);
    }
    bool has(const std::string& kind) const { return counts_.count(kind) != 0; }
    bool empty() const { return counts_.empty(); }
    std::string summary() const {
        std::string text;
        for (const auto& line : lines_) text += line + "\n";
        for (const auto& [kind, count] : counts_) {
            text += kind + ": " + std::to_string(count) + " in all\n";
        }
        return text;
    }

   private:
    std::map<std::string, std::size_t> counts_;
    std::vector<std::string> lines_;
};

// Arithmetic modulo the Mersenne prime 2^61 - 1. A rank found modulo a prime never exceeds the
// rank over the rationals, so a rank of (support size - 1) proves a one-dimensional nullspace.
constexpr std::uint64_t prime = (std::uint64_t{1} << 61) - 1;

std::uint64_t reduce(Value v) {
    const Value r = v % static_cast<Value>(prime);
    return static_cast<std::uint64_t>(r < 0 ? r + static_cast<Value>(prime) : r);
}

std::uint64_t multiply(std::uint64_t a, std::uint64_t b) {
    const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
    std::uint64_t r =
        static_cast<std::uint64_t>(product & prime) + static_cast<std::uint64_t>(product >> 61);
    r = (r & prime) + (r >> 61);
    return r >= prime ? r - prime : r;
}

std::uint64_t subtract(std::uint64_t a, std::uint64_t b) { return a >= b ? a - b : a + prime - b; }

// Rank of the rows x columns matrix `a` (row by row, entries modulo the prime), by fraction-free
// elimination in place; rows with a zero in the pivot column are left alone.
std::size_t rank_modulo_prime(std::vector<std::uint64_t>& a, std::size_t rows,
                              std::size_t columns) {
    std::size_t rank = 0;
    for (std::size_t c = 0; c < columns && rank < rows; ++c) {
        std::size_t p = rank;
        while (p < rows && a[p * columns + c] == 0) ++p;
        if (p == rows) continue;
        if (p != rank) {
            std::swap_ranges(a.begin() + p * columns, a.begin() + (p + 1) * columns,
                             a.begin() + rank * columns);
        }
        const std::uint64_t* pivot = &a[rank * columns];
        for (std::size_t r = rank + 1; r < rows; ++r) {
            std::uint64_t* row = &a[r * columns];
            const std::uint64_t factor = row[c];
            if (factor == 0) continue;
            for (std::size_t k = c; k < columns; ++k) {
                row[k] = subtract(multiply(row[k], pivot[c]), multiply(pivot[k], factor));
            }
        }
        ++rank;
    }
    return rank;
}

// One row of the named reaction listing: " 7: (12) [bl 1]  (2 R1) (-1 R5) ...".
struct Listed_Mode {
    long label = 0;
    long count = 0;
    std::vector<std::pair<Value, std::string>> reactions;
};

bool parse_listed_mode(const std::string& line, Listed_Mode& listed) {
    const std::size_t colon = line.find(": (");
    const std::size_t close = line.find(')', colon == std::string::npos ? 0 : colon);
    if (colon == std::string::npos || close == std::string::npos) return false;
    try {
        listed.label = std::stol(line.substr(0, colon));
        listed.count = std::stol(line.substr(colon + 3, close - colon - 3));
        std::istringstream words(line.substr(close + 1));
        std::string word;
        while (words >> word) {
            if (word == "[bl") {
                words >> word;  // the block number and its closing bracket
                continue;
            }
            if (word.size() < 2 || word.front() != '(') return false;
            const std::optional<Value> value = parse_value(word.substr(1));
            std::string name;
            if (!value || !(words >> name) || name.size() < 2 || name.back() != ')') return false;
            name.pop_back();
            listed.reactions.emplace_back(*value, name);
        }
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool parse_numbers(const std::string& line, std::size_t columns, Mode& mode) {
    std::istringstream numbers(line);
    for (std::string word; numbers >> word;) {
        const std::optional<Value> value = parse_value(word);
        if (!value) return false;
        mode.push_back(*value);
    }
    return mode.size() == columns;
}

// Checks the ELEMENTARY MODES section of `report` against the network.
Failures check_report(const Network& network, const std::string& report,
                      std::size_t expected_modes) {
    Failures failures;
    std::vector<std::string> lines;
    std::istringstream text(report);
    for (std::string line; std::getline(text, line);) lines.push_back(line);

    const auto heading = std::find(lines.begin(), lines.end(), "ELEMENTARY MODES");
    std::size_t at = static_cast<std::size_t>(heading - lines.begin()) + 2;
    long rows = 0, columns = 0;
    if (heading == lines.end() || at >= lines.size() ||
        std::sscanf(lines[at].c_str(), " matrix dimension r%ld x c%ld", &rows, &columns) != 2) {
        failures.add("report layout", "no mode matrix after the ELEMENTARY MODES heading");
        return failures;
    }
    ++at;
    std::vector<Mode> modes;
    for (long d = 0; d < rows && at < lines.size(); ++d, ++at) {
        Mode mode;
        if (!parse_numbers(lines[at], static_cast<std::size_t>(columns), mode)) {
            failures.add("report layout", "matrix row " + std::to_string(d + 1) + " reads '" +
                                              lines[at].substr(0, 80) + "'");
        }
        mode.resize(static_cast<std::size_t>(columns));
        modes.push_back(mode);
    }
    if (modes.size() != expected_modes) {
        failures.add("count", std::to_string(modes.size()) + " modes listed, " +
                                  std::to_string(expected_modes) + " expected");
    }

    // Columns: one per reaction, irreversible reactions first, as the column note, the
    // reversibility line and the reaction names of every listed mode confirm.
    const std::size_t n = network.reactions.size();
    if (static_cast<std::size_t>(columns) != n) {
        failures.add("column order",
                     std::to_string(columns) + " columns for " + std::to_string(n) + " reactions");
        return failures;
    }
    std::string flags;
    for (int flag : network.irreversible) flags += (flag != 0 ? " 1 " : " 0 ");
    const std::vector<std::string> expected_lines = {
        std::to_string(n) +
            " reactions (columns) are sorted in the same order as in the ENZREV ENZIRREV section.",
        "The following line indicates reversible (0) and irreversible reactions (1)", flags,
        "<EMODE_DATA>"};
    for (const auto& expected : expected_lines) {
        if (at >= lines.size() || lines[at] != expected) {
            failures.add("column order", "expected the line '" + expected + "'");
            return failures;
        }
        ++at;
    }
    for (std::size_t d = 0; d < modes.size(); ++d, ++at) {
        Listed_Mode listed;
        if (at >= lines.size() || !parse_listed_mode(lines[at], listed)) {
            failures.add("report layout", "no reaction listing for mode " + std::to_string(d + 1));
            return failures;
        }
        Listed_Mode expected;
        expected.label = static_cast<long>(d + 1);
        for (std::size_t j = 0; j < n; ++j) {
            if (modes[d][j] != 0)
                expected.reactions.emplace_back(modes[d][j], network.reactions[j]);
        }
        expected.count = static_cast<long>(expected.reactions.size());
        if (listed.label != expected.label || listed.count != expected.count ||
            listed.reactions != expected.reactions) {
            failures.add("column order", "the reaction listing of mode " + std::to_string(d + 1) +
                                             " does not match its matrix row");
        }
    }
    if (at >= lines.size() || lines[at] != "</EMODE_DATA>") {
        failures.add("report layout", "the reaction listing does not end after the last mode");
    }

    const std::size_t words = (n + 63) / 64;
    std::vector<std::vector<std::uint64_t>> supports;
    std::vector<std::uint64_t> restricted;
    for (std::size_t d = 0; d < modes.size(); ++d) {
        const Mode& x = modes[d];
        const std::string label = "mode " + std::to_string(d + 1);
        for (std::size_t m = 0; m < network.nint.size(); ++m) {
            Value balance = 0;
            for (std::size_t j = 0; j < n; ++j) balance += network.nint[m][j] * x[j];
            if (balance != 0) {
                failures.add("steady state",
                             label + " does not balance " + network.internal_metabolites[m]);
            }
        }
        std::vector<std::size_t> support;
        std::vector<std::uint64_t> bits(words);
        for (std::size_t j = 0; j < n; ++j) {
            if (x[j] == 0) continue;
            support.push_back(j);
            bits[j / 64] |= std::uint64_t{1} << (j % 64);
            if (x[j] < 0 && network.irreversible[j] != 0) {
                failures.add("irreversibility",
                             label + " runs " + network.reactions[j] + " backwards");
            }
        }
        supports.push_back(bits);

        // The metabolites that take part in a reaction of the support, restricted to it.
        restricted.clear();
        std::size_t rows_used = 0;
        for (const auto& coefficients : network.nint) {
            const bool involved = std::any_of(support.begin(), support.end(),
                                              [&](std::size_t j) { return coefficients[j] != 0; });
            if (!involved) continue;
            for (std::size_t j : support) restricted.push_back(reduce(coefficients[j]));
            ++rows_used;
        }
        if (support.empty() ||
            rank_modulo_prime(restricted, rows_used, support.size()) != support.size() - 1) {
            failures.add("elementarity", label + " is not elementary");
        }
    }
    std::sort(supports.begin(), supports.end());
    if (std::adjacent_find(supports.begin(), supports.end()) != supports.end()) {
        failures.add("duplicate support", "two modes use the same reactions");
    }
    return failures;
}

// The check itself against a small report worked out by hand, and against faults planted in it.
TEST(Mode_Check, FindsEachPlantedFault) {
    const fs::path folder = fs::path(KESTRANE_TESTS_DIR) / "e2e" / "branched";
    Network network;
    ASSERT_TRUE(read_network((folder / "network.dat").string(), network));
    const std::string report = file_contents(folder / "expected.report");
    ASSERT_TRUE(check_report(network, report, 3).empty())
        << check_report(network, report, 3).summary();

    // Modes in matrix order: (2 2 0 0 1 2 1), (1 1 0 1 0 1 1), (2 2 1 0 0 1 1).
    struct Fault {
        const char* what;
        const char* from;
        const char* to;
        std::size_t expected_modes;
        const char* kind;
    };
    const Fault faults[] = {
        {"mode running irreversible reactions backwards", "2 2 0 0 1 2 1", "-2 -2 0 0 -1 -2 -1", 3,
         "irreversibility"},
        {"unbalanced mode", "1 1 0 1 0 1 1", "1 1 0 1 0 1 2", 3, "steady state"},
        {"sum of two modes", "2 2 1 0 0 1 1", "3 3 1 1 0 2 2", 3, "elementarity"},
        {"one mode twice", "2 2 1 0 0 1 1", "1 1 0 1 0 1 1", 3, "duplicate support"},
        {"reversible columns first", " 1  1  1  1  1  0  0 \n<EMODE",
         " 0  0  1  1  1  1  1 \n<EMODE", 3, "column order"},
        {"listing names another reaction", "(1 Use)", "(1 Out1)", 3, "column order"},
        {"row with an entry missing", "1 1 0 1 0 1 1", "1 1 0 1 0 1", 3, "report layout"},
        {"one mode fewer than known", "", "", 4, "count"},
    };
    const std::size_t section = report.find("\nELEMENTARY MODES\n");
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.what);
        std::string planted = report;
        if (*fault.from != '\0') {
            const std::size_t at = planted.find(fault.from, section);
            ASSERT_NE(at, std::string::npos);
            planted.replace(at, std::string(fault.from).size(), fault.to);
        }
        const Failures failures = check_report(network, planted, fault.expected_modes);
        EXPECT_TRUE(failures.has(fault.kind)) << failures.summary();
    }
}

struct Network_Case {
    const char* folder;
    const char* file;
    std::size_t modes;  // known from independent enumerations
    // With options, `file` is a model that kestrane-import makes into the network with them.
    const char* import_options = nullptr;
};

void PrintTo(const Network_Case& c, std::ostream* os) { *os << c.file; }

class Network_Modes : public testing::TestWithParam<Network_Case> {};

// What one run of kestrane left: its exit status, console output, standard error and report.
struct Kestrane_Run {
    int status;
    std::string console;
    std::string errors;
    std::string report;
};

// Runs the optimised kestrane on a network in a scratch folder, with `environment` (such as
// "KESTRANE_THREADS=2 ") before the command.
Kestrane_Run run_kestrane(const fs::path& network_file, const std::string& environment) {
    static int runs = 0;
    const fs::path scratch =
        fs::temp_directory_path() / ("kestrane_networks_" + std::to_string(getpid()) + "_" +
                                     std::to_string(++runs) + "_" + network_file.stem().string());
    fs::create_directories(scratch);
    struct Remove {
        fs::path path;
        ~Remove() { fs::remove_all(path); }
    } remove{scratch};
    const std::string command = "cd '" + scratch.string() + "' && LC_ALL=C " + environment + "'" +
                                KESTRANE_BINARY + "' '" + fs::absolute(network_file).string() +
                                "' report.txt >stdout.txt 2>stderr.txt";
    const int status = std::system(command.c_str());
    return Kestrane_Run{status, file_contents(scratch / "stdout.txt"),
                        file_contents(scratch / "stderr.txt"),
                        file_contents(scratch / "report.txt")};
}

// The console text with the processor times taken out.
std::string without_times(const std::string& console) {
    static const std::regex time_line("Time used for calculations so far: [^\n]*");
    return std::regex_replace(console, time_line, "Time used for calculations so far:");
}

// The network of a case: its file, or the network that kestrane-import makes from its model in
// `folder` (kept there until the test ends). Empty when it cannot be made.
fs::path case_network(const Network_Case& c, const fs::path& folder) {
    const fs::path file = fs::path(c.folder) / c.file;
    if (c.import_options == nullptr) return file;
#ifdef KESTRANE_IMPORT_BINARY
    fs::create_directories(folder);
    const std::string command = "cd '" + folder.string() + "' && '" + KESTRANE_IMPORT_BINARY +
                                "' '" + file.string() + "' network.dat" + c.import_options +
                                " >import.txt 2>&1";
    if (std::system(command.c_str()) == 0) return folder / "network.dat";
#endif
    return fs::path();
}

TEST_P(Network_Modes, ListsEveryElementaryMode) {
#ifdef KESTRANE_SANITIZED
    GTEST_SKIP() << "whole networks run in the optimised build only";
#endif
    if (!fs::exists(fs::path(GetParam().folder) / GetParam().file))
        GTEST_SKIP() << GetParam().file << " is not there";
#ifndef KESTRANE_IMPORT_BINARY
    if (GetParam().import_options != nullptr) GTEST_SKIP() << "kestrane-import is not built";
#endif
    const fs::path imported =
        fs::temp_directory_path() / ("kestrane_imported_" + std::to_string(getpid()) + "_" +
                                     fs::path(GetParam().file).stem().string());
    struct Remove {
        fs::path path;
        ~Remove() { fs::remove_all(path); }
    } remove{imported};
    const fs::path network_file = case_network(GetParam(), imported);
    ASSERT_FALSE(network_file.empty()) << file_contents(imported / "import.txt");
    Network network;
    ASSERT_TRUE(read_network(network_file.string(), network));

    const Kestrane_Run run = run_kestrane(network_file, "");
    const std::string& console = run.console;
    ASSERT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0)
        << "kestrane failed; its output ends with:\n"
        << console.substr(console.size() - std::min<std::size_t>(console.size(), 2000))
        << run.errors;
    EXPECT_NE(console.find("Found " + std::to_string(GetParam().modes) + " elementary modes\n"),
              std::string::npos);
    const Failures failures = check_report(network, run.report, GetParam().modes);
    EXPECT_TRUE(failures.empty()) << failures.summary();
}

const Network_Case network_cases[] = {
    {KESTRANE_EXAMPLES_DIR, "branched.dat", 3},
    {KESTRANE_NETWORKS_DIR, "ecoli5010_nobiomass.dat", 854},
    {KESTRANE_NETWORKS_DIR, "ecoli5010_biomass.dat", 5011},
    {KESTRANE_NETWORKS_DIR, "rbc_core.dat", 3769},
    {KESTRANE_NETWORKS_DIR, "ecoli_core_glc.dat", 16673},
    {KESTRANE_NETWORKS_DIR, "ecoli_core_glc_anaerobic_biomass.dat", 16104},
    // EColiCore2 on glucose without oxygen, its growth reaction kept and scaled by 10^6: the
    // convex basis and the modes need values of up to 36 bits. efmtool counts 144258 modes.
    {KESTRANE_NETWORKS_DIR "/sources", "commmodelpy_ecolicore2compressed.xml", 144258,
     " --drop AcUp --drop GlycUp --drop SuccUp --drop O2Up"},
};

std::string case_name(const testing::TestParamInfo<Network_Case>& info) {
    std::string name = fs::path(info.param.file).stem().string();
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Networks, Network_Modes, testing::ValuesIn(network_cases), case_name);

// The mode iteration shares its candidates out over the threads; the report and the console
// output must not depend on how many there are. Three threads on a machine of two cores mix the
// order in which the threads finish their shares.
TEST(Thread_Count, GivesTheSameReportAndConsoleOutput) {
#ifdef KESTRANE_SANITIZED
    GTEST_SKIP() << "whole networks run in the optimised build only";
#endif
    for (const char* file : {"ecoli_core_glc.dat", "ecoli5010_biomass.dat"}) {
        const fs::path network_file = fs::path(KESTRANE_NETWORKS_DIR) / file;
        if (!fs::exists(network_file)) GTEST_SKIP() << network_file << " is not there";
        const Kestrane_Run one = run_kestrane(network_file, "KESTRANE_THREADS=1 ");
        const Kestrane_Run three = run_kestrane(network_file, "KESTRANE_THREADS=3 ");
        ASSERT_EQ(one.status, 0) << file;
        EXPECT_EQ(three.status, one.status) << file;
        EXPECT_TRUE(three.report == one.report) << file << ": the reports differ";
        EXPECT_TRUE(without_times(three.console) == without_times(one.console))
            << file << ": the console outputs differ";
    }
}

}  // namespace
