#include "parser/parser.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

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

std::string read_file(const std::string& path) {
    std::ifstream file(path, std::ios::in | std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

struct reader_result {
    int status = -1;
    std::string out;
    names header, reversible, irreversible, internal, external;
    // Starts as a marker so that a table left alone can be told from one that was made.
    std::vector<double> table{7.0};
};

reader_result read_network_file(const std::string& path) {
    reader_result result;
    ::testing::internal::CaptureStdout();
    result.status = parser(path.c_str(), result.header, result.reversible, result.irreversible,
                           result.internal, result.external, result.table);
    fflush(stdout);
    result.out = ::testing::internal::GetCapturedStdout();
    return result;
}

reader_result read_network(const std::string& content) {
    return read_network_file(write_network(content));
}

TEST(Parser, CompleteSmallFile) {
    const reader_result r = read_network(
        "A small network\n"
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
        "R3 : 3 A = Y\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.header, names({"A small network"}));
    EXPECT_EQ(r.reversible, names({"R1", "R2"}));
    EXPECT_EQ(r.irreversible, names({"R3"}));
    EXPECT_EQ(r.internal, names({"A", "B"}));
    EXPECT_EQ(r.external, names({"X", "Y"}));
    // Rows A, B, X, Y; columns R3 (irreversible first), R1, R2.
    EXPECT_EQ(r.table, std::vector<double>({-3, -1, 0,  //
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
    EXPECT_EQ(r.table, std::vector<double>({7.0}));
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
    EXPECT_EQ(r.table, c.table);
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
    EXPECT_EQ(r.table, table_of(c.entries));
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
};

INSTANTIATE_TEST_SUITE_P(Parser, Equations, ::testing::ValuesIn(equation_cases),
                         [](const auto& info) { return std::string(info.param.name); });

struct missing_equals_case {
    const char* name;
    const char* equations;
    const char* out;
};

// Runs the reader with standard output sent to a file; returning from it is a fault.
void read_with_stdout_to(const std::string& path, const std::string& out_path) {
    if (freopen(out_path.c_str(), "w", stdout) == nullptr) std::exit(3);
    names header, reversible, irreversible, internal, external;
    std::vector<double> table;
    parser(path.c_str(), header, reversible, irreversible, internal, external, table);
    std::exit(2);
}

class MissingEquals : public ::testing::TestWithParam<missing_equals_case> {};

// The reader ends the program: the child writes its standard output into a file that the
// test reads afterwards.
TEST_P(MissingEquals, EndsProgramWithMessage) {
    const missing_equals_case& c = GetParam();
    const std::string path = write_network(std::string(declarations) + c.equations);
    const std::string out_path = path + ".out";
    std::remove(out_path.c_str());
    EXPECT_EXIT(read_with_stdout_to(path, out_path), ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(read_file(out_path), c.out);
}

const missing_equals_case missing_equals_cases[] = {
    {"NoBlankAfterSign", "\nR1 : A =B\n", "Reaction R1 : A =Bmissing \"=\".\n"},
    {"JoinedText", "\nR1 : A\n\n=B\nR3 : A = B\n", "Reaction R1 : A =Bmissing \"=\".\n"},
    {"TabsAroundSign", "\nR1 : A\t=\tB\n", "Reaction R1 : A\t=\tBmissing \"=\".\n"},
    {"AfterEarlierWarning", "\nR1 : = A\nR3 : A=B",
     "Wrong syntax in reaction R1.\nNo metabolite before =.\nReaction R3 : A=Bmissing \"=\".\n"},
};

INSTANTIATE_TEST_SUITE_P(Parser, MissingEquals, ::testing::ValuesIn(missing_equals_cases),
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

}  // namespace
