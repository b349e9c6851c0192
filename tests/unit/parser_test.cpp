#include "parser/parser.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "parser/coefficient_table.h"
#include "parser/reaction_equations.h"

namespace {

using names = std::vector<std::string>;

// Writes a network file into the test's temporary folder and returns its path. ctest runs the
// tests in parallel processes, so the name carries the process id.
std::string write_network(const std::string& content) {
    static int counter = 0;
    const std::string path = ::testing::TempDir() + "parser_test_" + std::to_string(getpid()) +
                             "_" + std::to_string(++counter) + ".net";
    std::ofstream file(path, std::ios::out | std::ios::binary | std::ios::trunc);
    file << content;
    return path;
}

struct reader_result {
    int status = -1;
    std::string out;
    names header, reversible, irreversible, internal, external;
    coefficient_table coefficients;
    std::vector<bool> with_equation;

    void take(network_file& file) {
        header = std::move(file.header_lines);
        reversible = std::move(file.reversible_reactions);
        irreversible = std::move(file.irreversible_reactions);
        internal = std::move(file.internal_metabolites);
        external = std::move(file.external_metabolites);
        coefficients = std::move(file.coefficients);
    }
};

// An entry no network fills: while it is there, the reader has not replaced the table.
const coefficient_table untouched{{{99, 99}, {7.0, "7"}}};

// The coefficients as a dense table, metabolites x reactions; the marker 7.0 alone when the
// reader left the table as it was.
std::vector<double> dense_table(const reader_result& r) {
    if (r.coefficients == untouched) return {7.0};
    const std::size_t columns = r.irreversible.size() + r.reversible.size();
    std::vector<double> table((r.internal.size() + r.external.size()) * columns, 0.0);
    for (const auto& [position, coefficient] : r.coefficients)
        table.at(position.first * columns + position.second) = coefficient.value;
    return table;
}

// Reads a file with the whole reader, warnings included; a failed reading hands back nothing,
// so the lists stay empty and the table untouched.
reader_result read_network_file(const std::string& path) {
    reader_result result;
    result.coefficients = untouched;
    ::testing::internal::CaptureStdout();
    std::optional<network_file> file = parser(path.c_str());
    fflush(stdout);
    result.out = ::testing::internal::GetCapturedStdout();
    result.status = file ? 0 : 1;
    if (file) result.take(*file);
    return result;
}

// Reads the text of a network file, without the warnings about declarations; what was read up
// to an error stays in the result.
reader_result read_network(const std::string& content) {
    reader_result result;
    network_file file;
    file.coefficients = untouched;
    ::testing::internal::CaptureStdout();
    result.status = parse_network_text(content, file, result.with_equation);
    fflush(stdout);
    result.out = ::testing::internal::GetCapturedStdout();
    result.take(file);
    return result;
}

TEST(Parser, CompleteSmallFile) {
    const reader_result r =
        read_network_file(write_network("A small network\n"
                                        "-ENZREV\n"
                                        "R1 R2\n"
                                        "-ENZIRREV\n"
                                        "R3\n"
                                        "-METINT\n"
                                        "A B\n"
                                        "-METEXT\n"
                                        "X Y\n"
                                        "-CAT\n"
                                        "R1 : A = B\n"
                                        "R2 : B = 2 X\n"
                                        "R3 : 3 A = Y\n"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.header, names({"A small network"}));
    EXPECT_EQ(r.reversible, names({"R1", "R2"}));
    EXPECT_EQ(r.irreversible, names({"R3"}));
    EXPECT_EQ(r.internal, names({"A", "B"}));
    EXPECT_EQ(r.external, names({"X", "Y"}));
    // Rows A, B, X, Y; columns R3 (irreversible first), R1, R2.
    EXPECT_EQ(dense_table(r), std::vector<double>({-3, -1, 0,  //
                                                   0, 1, -1,   //
                                                   0, 0, 2,    //
                                                   1, 0, 0}));
}

TEST(Parser, MissingFileGivesOnlyItsMessage) {
    const std::string path = ::testing::TempDir() + "parser_test_no_such_file.net";
    std::remove(path.c_str());
    const reader_result r = read_network_file(path);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "File " + path + " not found\n");
    EXPECT_TRUE(r.header.empty());
    EXPECT_EQ(dense_table(r), std::vector<double>({7.0}));
}

struct section_case {
    const char* name;
    const char* content;
    int status;
    const char* out;
    names header, reversible, irreversible, internal, external;
    std::vector<double> table;
};

class Sections : public ::testing::TestWithParam<section_case> {};

TEST_P(Sections, ListsMessagesAndTable) {
    const section_case& c = GetParam();
    const reader_result r = read_network(c.content);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.header, c.header);
    EXPECT_EQ(r.reversible, c.reversible);
    EXPECT_EQ(r.irreversible, c.irreversible);
    EXPECT_EQ(r.internal, c.internal);
    EXPECT_EQ(r.external, c.external);
    EXPECT_EQ(dense_table(r), c.table);
}

const char* const all_parts_missing =
    "The -ENZREV part is not found in the file!\n"
    "The -ENZIRREV part is not found in the file!\n"
    "The -METINT part is not found in the file!\n"
    "The -METEXT part is not found in the file!\n"
    "The -CAT part is not found in the file!\n";

const section_case section_cases[] = {
    {"NamesOnEnzrevLineAreLost",
     "-ENZREV R0\nR1\n-ENZIRREV\nR3\n-METINT\nA\n-METEXT\n-CAT\nR1 : A = \n",
     0,
     "",
     {},
     {"R1"},
     {"R3"},
     {"A"},
     {},
     {0, -1}},
    {"NamesFollowLaterKeysOnTheirLine",
     "title\n-ENZREV\nR1 -ENZIRREV R3 -METINT A -METEXT X -CAT R3 : A = X",
     0,
     "",
     {"title"},
     {"R1"},
     {"R3"},
     {"A"},
     {"X"},
     {-1, 0, 1, 0}},
    {"KeyInsideWordEndsList",
     "-ENZREV\nR1 a-ENZIRREVb R2\n-METINT\nA B-METEXT C\n-METEXT\nX\n-CAT\nR2 : A = C\n",
     0,
     "",
     {},
     {"R1"},
     {"R2"},
     {"A"},
     {"C", "-METEXT", "X"},
     {-1, 0, 1, 0, 0, 0, 0, 0}},
    {"EmptyLists",
     "\n-ENZREV\n-ENZIRREV\nR3\n-METINT\n\n\nA\n-METEXT\n-CAT\nR3 : A = \n",
     0,
     "",
     {""},
     {},
     {"R3"},
     {"A"},
     {},
     {-1}},
    {"KeysBeforeEnzrevLineChangeNothing",
     "-CAT -METINT\nR1 : A = B\n-ENZREV\n-ENZIRREV\nR1\n-METINT\nA\n-METEXT\n-CAT\nR1 : A = \n",
     0,
     "",
     {"-CAT -METINT", "R1 : A = B"},
     {},
     {"R1"},
     {"A"},
     {},
     {-1}},
    {"NameInBothListsFillsIrreversibleColumnAndInternalRow",
     "-ENZREV\nR1\n-ENZIRREV\nR1\n-METINT\nA\n-METEXT\nA\n-CAT\nR1 : A = \n",
     0,
     "",
     {},
     {"R1"},
     {"R1"},
     {"A"},
     {"A"},
     {-1, 0, 0, 0}},
    {"LowerCaseEnzrevIsNoKey",
     "title\n-enzrev\nR1\n-ENZIRREV\n-METINT\nA\n-METEXT\n-CAT\nR1 : A = ",
     1,
     all_parts_missing,
     {"title", "-enzrev", "R1", "-ENZIRREV", "-METINT", "A", "-METEXT", "-CAT", "R1 : A = "},
     {},
     {},
     {},
     {},
     {7.0}},
    {"MissingMetextReportsLaterKeysToo",
     "-ENZREV\nR1\n-ENZIRREV\n-METINT\nA\nX\n-CAT\nR1 : A = X\n",
     1,
     "The -METEXT part is not found in the file!\n"
     "The -CAT part is not found in the file!\n",
     {},
     {"R1"},
     {},
     {"A", "X", "-CAT", "R1", ":", "A", "=", "X"},
     {},
     {7.0}},
    {"KeysOutOfOrder",
     "-ENZREV\n-METINT\nA\n-ENZIRREV\nR1\n-METEXT\n-CAT\nR1 : A = \n",
     1,
     "The -METINT part is not found in the file!\n"
     "The -METEXT part is not found in the file!\n"
     "The -CAT part is not found in the file!\n",
     {},
     {"-METINT", "A"},
     {"R1", "-METEXT", "-CAT", "R1", ":", "A", "="},
     {},
     {},
     {7.0}},
    {"EmptyFile", "", 1, all_parts_missing, {}, {}, {}, {}, {}, {7.0}},
};

INSTANTIATE_TEST_SUITE_P(Parser, Sections, ::testing::ValuesIn(section_cases),
                         [](const auto& info) { return std::string(info.param.name); });

// Equations are read against these declarations; the text of a case follows "-CAT" directly,
// so it begins with the rest of the "-CAT" line.
const char* const declarations =
    "Equations test\n-ENZREV\nR1 R2\n-ENZIRREV\nR3\n-METINT\nA B\n-METEXT\nX Y\n-CAT";
const names table_rows = {"A", "B", "X", "Y"};
const names table_columns = {"R3", "R1", "R2"};

struct entry {
    const char* metabolite;
    const char* reaction;
    double value;
};

struct equation_case {
    const char* name;
    const char* equations;
    int status;
    const char* out;
    std::vector<entry> entries;  // every other entry of the table must stay 0.0
};

std::vector<double> table_of(const std::vector<entry>& entries) {
    std::vector<double> table(table_rows.size() * table_columns.size(), 0.0);
    for (const entry& e : entries) {
        const long row = check_vector_for_word(e.metabolite, table_rows);
        const long column = check_vector_for_word(e.reaction, table_columns);
        table.at(static_cast<std::size_t>(row) * table_columns.size() +
                 static_cast<std::size_t>(column)) = e.value;
    }
    return table;
}

class Equations : public ::testing::TestWithParam<equation_case> {};

TEST_P(Equations, MessagesAndTable) {
    const equation_case& c = GetParam();
    const reader_result r = read_network(std::string(declarations) + c.equations);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(dense_table(r), table_of(c.entries));
}

const char* const first_reaction_error =
    "Wrong syntax in the first reaction. Check your input file\n";
const double infinity = std::numeric_limits<double>::infinity();

const equation_case equation_cases[] = {
    {"SidesAndCoefficients",
     "\nR1 : A + 2 B = X\n",
     0,
     "",
     {{"A", "R1", -1}, {"B", "R1", -2}, {"X", "R1", 1}}},
    {"ColumnPerReaction",
     "\nR3 : A = X\nR1 : B = Y\nR2 : X = A\n",
     0,
     "",
     {{"A", "R3", -1},
      {"X", "R3", 1},
      {"B", "R1", -1},
      {"Y", "R1", 1},
      {"X", "R2", -1},
      {"A", "R2", 1}}},
    {"ColonAttachedToName",
     "\nR1: A = B\n",
     1,
     "R1: has not been found among declared reactions.\nCheck your input file.\n",
     {}},
    {"ColonNotSecond",
     "\nR1 - : A = B\n",
     1,
     "In reaction R1 \":\" is missing. Check your input file.\n",
     {}},
    {"TwoWordsKeepEntriesWrittenBefore",
     "\nR1 : A B = X\n",
     1,
     "Two words one after another in reaction R1\nCheck syntax!\n",
     {{"A", "R1", -1}}},
    {"TwoNumbers",
     "\nR1 : 2 3 A = B\n",
     1,
     "In reaction R1 two numbers follow one another.\nCheck your input file.\n",
     {}},
    {"CoefficientAfterName",
     "\nR1 : A 2 + B = X\n",
     0,
     "",
     {{"A", "R1", -1}, {"B", "R1", -2}, {"X", "R1", 1}}},
    {"CoefficientCarriedOverOperator",
     "\nR1 : A + 2 + B = X\n",
     0,
     "Wrong syntax in reaction R1.\nNo metabolite before +.\n",
     {{"A", "R1", -1}, {"B", "R1", -2}, {"X", "R1", 1}}},
    {"PlusWithoutName",
     "\nR1 : + A = B\n",
     0,
     "Wrong syntax in reaction R1.\nNo metabolite before +.\n",
     {{"A", "R1", -1}, {"B", "R1", 1}}},
    {"EqualsWithoutName",
     "\nR1 : = A\n",
     0,
     "Wrong syntax in reaction R1.\nNo metabolite before =.\n",
     {{"A", "R1", 1}}},
    {"NoProducts", "\nR1 : A = \n", 0, "", {{"A", "R1", -1}}},
    {"RealCoefficients",
     "\nR1 : 0.5 A = 2e1 B + 1.5E+0 X\n",
     0,
     "",
     {{"A", "R1", -0.5}, {"B", "R1", 20}, {"X", "R1", 1.5}}},
    {"NegativeCoefficient", "\nR1 : -1 A = B\n", 0, "", {{"A", "R1", 1}, {"B", "R1", 1}}},
    {"ZeroIsAName",
     "\nR1 : 0 A = B\n",
     1,
     "0 has not been found among declared metabolites.\nCheck your input file.\n",
     {}},
    {"NumberPrefixIsAName",
     "\nR1 : A = 2B\n",
     1,
     "2B has not been found among declared metabolites.\nCheck your input file.\n",
     {{"A", "R1", -1}}},
    {"LastOccurrenceWins", "\nR1 : A + 2 A = 3 A\n", 0, "", {{"A", "R1", 3}}},
    {"SecondEquationOverwritesItsEntries",
     "\nR1 : A = B\nR1 : 3 A = X\n",
     0,
     "",
     {{"A", "R1", -3}, {"B", "R1", 1}, {"X", "R1", 1}}},
    {"FullStopNoticeOnceAfterAll",
     "\nR1 : A = B .\nR3 : A = X .\nR2 : B = Y\n",
     0,
     "The \".\" at the end of reaction was deprecated you can safely remove them!\n",
     {{"A", "R1", -1},
      {"B", "R1", 1},
      {"A", "R3", -1},
      {"X", "R3", 1},
      {"B", "R2", -1},
      {"Y", "R2", 1}}},
    {"FullStopInsideIsIgnored", "\nR1 : 2 . A = B\n", 0, "", {{"A", "R1", -2}, {"B", "R1", 1}}},
    {"ErrorStopsReadingAndNotice",
     "\nR3 : A = X .\nR1 : A B = X\nR2 : A = B\n",
     1,
     "Two words one after another in reaction R1\nCheck syntax!\n",
     {{"A", "R3", -1}, {"X", "R3", 1}, {"A", "R1", -1}}},
    {"NanCoefficientRefused",
     "\nR1 : nan A = B\n",
     1,
     "In reaction R1 the coefficient nan is not a number.\nCheck your input file.\n",
     {}},
    {"InfiniteCoefficientPassedOn",
     "\nR1 : inf A = B\n",
     0,
     "",
     {{"A", "R1", -infinity}, {"B", "R1", 1}}},
    {"ContinuationLinesWithEmptyLine",
     "\nR1 : A +\n\n2 B\n= X\nR3 : A = B\n",
     0,
     "",
     {{"A", "R1", -1}, {"B", "R1", -2}, {"X", "R1", 1}, {"A", "R3", -1}, {"B", "R3", 1}}},
    {"LastLineWithoutLineBreak", "\nR1 : A = B", 0, "", {{"A", "R1", -1}, {"B", "R1", 1}}},
    {"ContinuationWithoutLineBreakAtEnd",
     "\nR1 : A = B\n+ X",
     0,
     "",
     {{"A", "R1", -1}, {"B", "R1", 1}, {"X", "R1", 1}}},
    {"EquationOnCatLine", " R1 : A = B\n", 0, "", {{"A", "R1", -1}, {"B", "R1", 1}}},
    {"EmptyLinesBeforeFirstEquation",
     "\n\n\nR1 : A = B\n",
     0,
     "",
     {{"A", "R1", -1}, {"B", "R1", 1}}},
    {"BlankLinesBetweenEquations",
     "\nR1 : A = B\n   \n\t\nR3 : A = X\n",
     0,
     "",
     {{"A", "R1", -1}, {"B", "R1", 1}, {"A", "R3", -1}, {"X", "R3", 1}}},
    {"TrailingBlanksOnCatLine", "   \nR1 : A = B\n", 1, first_reaction_error, {}},
    {"BlankLineBeforeFirstEquation", "\n  \nR1 : A = B\n", 1, first_reaction_error, {}},
    {"CarriageReturnLineEnds", "\r\nR1 : A = B\r\n", 1, first_reaction_error, {}},
    {"FirstLineWithoutColon", "\nR1 A = B\nR3 : A = B\n", 1, first_reaction_error, {}},
    {"NoEquation", "\n\n", 1, first_reaction_error, {}},
    {"CatEndsFile", "", 1, first_reaction_error, {}},
    // Without " = " the file cannot be read on.
    {"NoBlankAfterSign", "\nR1 : A =B\n", 1, "Reaction R1 : A =Bmissing \"=\".\n", {}},
    {"JoinedTextWithoutSign",
     "\nR1 : A\n\n=B\nR3 : A = B\n",
     1,
     "Reaction R1 : A =Bmissing \"=\".\n",
     {}},
    {"TabsAroundSign", "\nR1 : A\t=\tB\n", 1, "Reaction R1 : A\t=\tBmissing \"=\".\n", {}},
    {"NoSignAfterEarlierWarning",
     "\nR1 : = A\nR3 : A=B",
     1,
     "Wrong syntax in reaction R1.\nNo metabolite before =.\nReaction R3 : A=Bmissing \"=\".\n",
     {{"A", "R1", 1}}},
};

INSTANTIATE_TEST_SUITE_P(Parser, Equations, ::testing::ValuesIn(equation_cases),
                         [](const auto& info) { return std::string(info.param.name); });

// Each call gathers one equation and leaves the stream at the line that begins the next.
TEST(GetReactionsVector, GathersOneEquationPerCall) {
    std::istringstream stream("\nR1 : A\n\n+ B = X\n  \nR2 : B = X\n\nR3 : X = \n");
    std::vector<std::string> tokens;
    EXPECT_EQ(get_reactions_vector(stream, tokens), 1);
    EXPECT_EQ(tokens, names({"R1", ":", "A", "+", "B", "=", "X"}));
    tokens.clear();
    EXPECT_EQ(get_reactions_vector(stream, tokens), 1);
    EXPECT_EQ(tokens, names({"R2", ":", "B", "=", "X"}));
    tokens.clear();
    EXPECT_EQ(get_reactions_vector(stream, tokens), 0);
    EXPECT_EQ(tokens, names({"R3", ":", "X", "="}));
}

TEST(GetReactionsVector, NoEquationLeavesTokensEmpty) {
    std::istringstream stream("\nR1 A = B\n");
    std::vector<std::string> tokens;
    ::testing::internal::CaptureStdout();
    get_reactions_vector(stream, tokens);
    fflush(stdout);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), first_reaction_error);
    EXPECT_TRUE(tokens.empty());
}

TEST(CheckNumber, WholeTokenMustReadAsNumber) {
    const struct {
        const char* token;
        double value;
    } cases[] = {{"2", 2}, {"-1.5", -1.5}, {"+3", 3}, {"1e2", 100}, {".5", 0.5},
                 {"0", 0}, {"0.0", 0},     {"2x", 0}, {"", 0},      {"+", 0},
                 {"=", 0}, {".", 0},       {"A", 0},  {"1e", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(check_number(c.token), c.value) << "token \"" << c.token << "\"";
    }
    EXPECT_TRUE(std::isnan(check_number("nan")));
    EXPECT_EQ(check_number("-inf"), -std::numeric_limits<double>::infinity());
}

TEST(CheckVectorForWord, FirstExactMatch) {
    const names list = {"A", "B", "a", "B"};
    EXPECT_EQ(check_vector_for_word("A", list), 0);
    EXPECT_EQ(check_vector_for_word("B", list), 1);
    EXPECT_EQ(check_vector_for_word("a", list), 2);
    EXPECT_EQ(check_vector_for_word("C", list), -1);
    EXPECT_EQ(check_vector_for_word("B ", list), -1);
    EXPECT_EQ(check_vector_for_word("A", names()), -1);
}

// A message quotes a coefficient as written; the sign of its side is in the value only.
TEST(Equations, CoefficientsKeepTheirText) {
    const reader_result r = read_network(std::string(declarations) +
                                         "\nR1 : 0.5 A = 2e1 B + X\nR3 : -2147483649 A = Y\n");
    ASSERT_EQ(r.status, 0);
    // Rows A, B, X, Y; columns R3, R1, R2.
    const coefficient_table expected{{{0, 0}, {2147483649.0, "-2147483649"}},
                                     {{0, 1}, {-0.5, "0.5"}},
                                     {{1, 1}, {20, "2e1"}},
                                     {{2, 1}, {1, ""}},
                                     {{3, 0}, {1, ""}}};
    EXPECT_EQ(r.coefficients, expected);
    EXPECT_EQ(r.with_equation, std::vector<bool>({true, true, false}));
}

// Names cost no table of their product: 50,000 reactions and 50,000 metabolites with one
// equation give two entries, where a dense table would take 20 GB before the first equation.
TEST(Parser, TableHoldsOnlyTheEntriesEquationsName) {
    std::string text = "-ENZREV\n-ENZIRREV\n";
    for (int i = 0; i < 50000; ++i) text += "R" + std::to_string(i) + "\n";
    text += "-METINT\n";
    for (int i = 0; i < 50000; ++i) text += "M" + std::to_string(i) + "\n";
    text += "-METEXT\nX\n-CAT\nR7 : X = M3\n";
    const reader_result r = read_network(text);
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.irreversible.size(), 50000u);
    ASSERT_EQ(r.internal.size(), 50000u);
    const coefficient_table expected{{{3, 7}, {1, ""}}, {{50000, 7}, {-1, ""}}};
    EXPECT_EQ(r.coefficients, expected);
}

// The file is read into memory first: a pipe, which cannot be set back, reads like a file.
TEST(Parser, PipeReadsLikeFile) {
    const std::string content =
        std::string(declarations) + "\nR1 : A = B\nR3 : A\n= X\nR2 : B = Y\n";
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_EQ(write(ends[1], content.data(), content.size()), static_cast<ssize_t>(content.size()));
    close(ends[1]);
    const reader_result r = read_network_file("/dev/fd/" + std::to_string(ends[0]));
    close(ends[0]);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dense_table(r), dense_table(read_network(content)));
}

TEST(Parser, FolderGivesTheSystemsReason) {
    const std::string path = ::testing::TempDir();
    const reader_result r = read_network_file(path);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "File " + path + " cannot be read: Is a directory\n");
    EXPECT_TRUE(r.header.empty());
}

TEST(Parser, UnreadableFileGivesTheSystemsReason) {
    if (geteuid() == 0) GTEST_SKIP() << "the superuser reads every file";
    const std::string path = write_network(std::string(declarations) + "\nR1 : A = B\n");
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    const reader_result r = read_network_file(path);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "File " + path + " cannot be read: Permission denied\n");
}

struct declaration_case {
    const char* name;
    const char* content;
    const char* out;
};

class Declarations : public ::testing::TestWithParam<declaration_case> {};

// The warnings follow a complete reading; the table is the same as without them.
TEST_P(Declarations, WarnAboutWhatEquationsCannotFill) {
    const declaration_case& c = GetParam();
    const reader_result r = read_network_file(write_network(c.content));
    const reader_result quiet = read_network(c.content);
    EXPECT_EQ(r.status, quiet.status);
    EXPECT_EQ(r.out, c.out);
    if (r.status == 0) {
        EXPECT_EQ(r.coefficients, quiet.coefficients);
    }
}

const declaration_case declaration_cases[] = {
    {"NoneWhenEveryNameIsFilled",
     "-ENZREV\nR1\n-ENZIRREV\nR2\n-METINT\nA\n-METEXT\nX\n-CAT\nR1 : X = A\nR2 : A = X\n", ""},
    {"ReactionTwiceInOneSection",
     "-ENZREV\n-ENZIRREV\nR1 R2 R1\n-METINT\nA\n-METEXT\nX\n-CAT\nR1 : X = A\nR2 : A = X\n",
     "Warning: reaction R1 is declared again under -ENZIRREV; its equation fills one column only, "
     "the other stays zero.\n"},
    {"ReactionInBothSections",
     "-ENZREV\nR1\n-ENZIRREV\nR1\n-METINT\nA\n-METEXT\nX\n-CAT\nR1 : X = A\n",
     "Warning: reaction R1 is declared again under -ENZIRREV; its equation fills one column only, "
     "the other stays zero.\n"},
    {"MetaboliteTwiceAndAsBothKinds",
     "-ENZREV\nR1\n-ENZIRREV\n-METINT\nA B A\n-METEXT\nB X\n-CAT\nR1 : X = A + B\n",
     "Warning: metabolite A is declared again under -METINT; its coefficients fill one row only, "
     "the other stays zero.\n"
     "Warning: metabolite B is declared again under -METEXT; its coefficients fill one row only, "
     "the other stays zero.\n"},
    {"ReactionsWithoutEquationInFileOrder",
     "-ENZREV\nR4 R1\n-ENZIRREV\nR3 R2\n-METINT\nA\n-METEXT\nX\n-CAT\nR1 : X = A\nR2 : A = X\n",
     "Warning: reaction R4 has no equation; its column stays zero.\n"
     "Warning: reaction R3 has no equation; its column stays zero.\n"},
    {"RepeatedReactionWithoutEquationOnce",
     "-ENZREV\nR1 R2 R2\n-ENZIRREV\n-METINT\nA\n-METEXT\nX\n-CAT\nR1 : X = A\n",
     "Warning: reaction R2 is declared again under -ENZREV; its equation fills one column only, "
     "the other stays zero.\n"
     "Warning: reaction R2 has no equation; its column stays zero.\n"},
    {"NoneAfterAnError",
     "-ENZREV\nR1 R1\n-ENZIRREV\nR2\n-METINT\nA\n-METEXT\nX\n-CAT\nR1 : X Y = A\n",
     "Two words one after another in reaction R1\nCheck syntax!\n"},
};

INSTANTIATE_TEST_SUITE_P(Parser, Declarations, ::testing::ValuesIn(declaration_cases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
