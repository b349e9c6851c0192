#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "import/command_line.h"
#include "import/conversion.h"
#include "import/gzip.h"
#include "import/import_error.h"
#include "import/interrupted_write.h"
#include "import/model_file.h"
#include "import/naming.h"
#include "import/nesting.h"
#include "import/network_file.h"
#include "import/scaling.h"

namespace {

// Reversibility: from the flux bounds where there are some, else from the model's own flag.
struct Direction_Case {
    const char* what;
    std::optional<flux_bounds> bounds;
    bool reversible;
    bool flag_decides;
    direction expected;
};

TEST(Direction, FollowsTheBoundsElseTheFlag) {
    const double inf = HUGE_VAL;
    const Direction_Case cases[] = {
        {"open both ways", flux_bounds{-1000, 1000}, false, false, direction::reversible},
        {"unbounded", flux_bounds{-inf, inf}, false, false, direction::reversible},
        {"lower zero", flux_bounds{0, 1000}, true, false, direction::forward},
        {"fixed positive flux", flux_bounds{5, 5}, true, false, direction::forward},
        {"upper zero", flux_bounds{-1000, 0}, true, false, direction::backward},
        {"fixed negative flux", flux_bounds{-5, -5}, true, false, direction::backward},
        {"both zero", flux_bounds{0, 0}, true, false, direction::blocked},
        {"lower above upper", flux_bounds{10, 5}, true, false, direction::blocked},
        {"negative, lower above upper", flux_bounds{-1, -2}, true, false, direction::blocked},
        {"no bounds, reversible", std::nullopt, true, false, direction::reversible},
        {"no bounds, irreversible", std::nullopt, false, false, direction::forward},
        {"the flag decides over bounds", flux_bounds{-1000, 1000}, false, true, direction::forward},
        {"the flag decides over blocked bounds", flux_bounds{0, 0}, true, true,
         direction::reversible},
    };
    for (const Direction_Case& c : cases) {
        model_reaction reaction;
        reaction.bounds = c.bounds;
        reaction.reversible = c.reversible;
        reaction.flag_decides = c.flag_decides;
        EXPECT_EQ(direction_of(reaction), c.expected) << c.what;
    }
}

TEST(Network_Name, HoldsOnlyWhatTheReaderTakesAsAName) {
    const struct {
        const char* id;
        const char* prefix;
        const char* expected;
    } cases[] = {
        {"R_PGI", "R_", "PGI"},
        {"M_glc__D_e", "M_", "glc__D_e"},
        {"PGI", "R_", "PGI"},
        {"R_", "R_", "R_"},  // the prefix alone stays
        {"R_PGI", "", "R_PGI"},
        {"a b\tc\nd", "", "a_b_c_d"},
        {"glc\u20ac\u00e9x", "", "glc__x"},  // one "_" per non-ASCII character
        {"x-ENZIRREV", "", "x_ENZIRREV"},
        {"-CAT-METINT", "", "_CAT_METINT"},
        {"a-METEXT-ENZREV", "", "a_METEXT_ENZREV"},
        {"1e5", "", "_1e5"},
        {"M_1", "M_", "_1"},
        {"-3.5", "", "_-3.5"},
        {"inf", "", "_inf"},
        {"nan", "", "_nan"},
        {"0x1A", "", "_0x1A"},
        {"0", "", "0"},  // a token that reads as zero is a name
        {"13dpg_c", "", "13dpg_c"},
        {"+", "", "_+"},
        {"=", "", "_="},
        {".", "", "_."},
        {":", "", "_:"},
        {"", "", "_"},
    };
    for (const auto& c : cases) EXPECT_EQ(network_name(c.id, c.prefix), c.expected) << c.id;
    EXPECT_EQ(header_safe("model\nfile -ENZREV\t1"), "model_file _ENZREV_1");
}

TEST(Unique_Names, NumbersRepeatsPastNamesOthersBear) {
    unique_names names({"a", "a", "a_2", "b"});
    EXPECT_EQ(names.take("a"), "a");
    EXPECT_EQ(names.take("a"), "a_3");  // a_2 is the name of a later element
    EXPECT_EQ(names.take("a_2"), "a_2");
    EXPECT_EQ(names.take("b"), "b");
    EXPECT_EQ(names.take("b_b"), "b_b");
    EXPECT_EQ(names.take("a"), "a_4");
}

TEST(Scaling, MultipliesByTheSmallestFactorThatMakesEveryCoefficientWhole) {
    const struct {
        std::vector<double> coefficients;
        std::int64_t factor;
        std::vector<std::int64_t> values;
    } cases[] = {
        {{-1, 2, 1}, 1, {-1, 2, 1}},
        {{-0.5, 1.5}, 2, {-1, 3}},
        {{-0.1, -0.2, 0.3}, 10, {-1, -2, 3}},
        {{-0.25, 0.5}, 4, {-1, 2}},
        // 1.496 = 187/125 and 59.81 = 5981/100: the factor is 2^2 5^3, not 1000
        {{-1.496, 59.81}, 500, {-748, 29905}},
        {{0.000001}, 1000000, {1}},
        {{-0.333333, 1}, 1000000, {-333333, 1000000}},
        {{-2147483647.0, 2147483647.0}, 1, {-2147483647LL, 2147483647LL}},
        {{1e9}, 1, {1000000000}},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> names(c.coefficients.size(), "m");
        const scaled_coefficients scaled = scale_to_integers(c.coefficients, names, "R");
        EXPECT_EQ(scaled.factor, c.factor) << c.coefficients[0];
        EXPECT_EQ(scaled.values, c.values) << c.coefficients[0];
    }
}

TEST(Scaling, RefusesFactorsAboveAMillionAndCoefficientsBeyond32Bits) {
    const struct {
        std::vector<double> coefficients;
        const char* message;
    } cases[] = {
        {{1e-7},
         "Reaction R cannot be scaled to whole coefficients: the coefficient 1e-07 of m needs a "
         "factor above 1000000."},
        {{0.1, 1.0 / 3},
         "Reaction R cannot be scaled to whole coefficients: the coefficient 0.3333333333333333 "
         "of m needs a factor above 1000000."},
        {{0.0009765625, 0.00032},
         "Reaction R cannot be scaled to whole coefficients: together they need the factor "
         "3200000, which is above 1000000."},
        {{2147483648.0},
         "Reaction R: the coefficient 2147483648 of m is too large: a network file holds "
         "coefficients up to 2147483647 in magnitude."},
        // -2^31 fits an int32_t, but the file writes it as the amount 2^31 on the left side
        {{-2147483648.0},
         "Reaction R: the coefficient -2147483648 of m is too large: a network file holds "
         "coefficients up to 2147483647 in magnitude."},
        {{1e300},
         "Reaction R: the coefficient 1e+300 of m is too large: a network file holds "
         "coefficients up to 2147483647 in magnitude."},
        {{0.5, -1073741824},
         "Reaction R: the coefficient -1073741824 of m, scaled by 2, is too large: a network "
         "file holds coefficients up to 2147483647 in magnitude."},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> names(c.coefficients.size(), "m");
        try {
            scale_to_integers(c.coefficients, names, "R");
            ADD_FAILURE() << "accepted " << c.message;
        } catch (const import_error& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

std::string gzip_of(const std::string& text) {
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, text.size()) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

TEST(Gzip, ReadsEveryMemberAndRefusesDataCutShort) {
    const std::string first(100000, 'x');  // more than one output buffer
    const std::string both = gzip_of(first) + gzip_of("<sbml/>");
    EXPECT_TRUE(is_gzip(both));
    EXPECT_FALSE(is_gzip("<sbml/>"));
    EXPECT_EQ(gunzip(both, "m.gz", default_max_inflated), first + "<sbml/>");
    EXPECT_THROW(gunzip(both.substr(0, both.size() / 3), "m.gz", default_max_inflated),
                 import_error);
    EXPECT_THROW(gunzip(std::string("\x1f\x8b") + "not deflate data", "m.gz", default_max_inflated),
                 import_error);
}

TEST(Gzip, InflatesUpToTheLimitAndNotAByteMore) {
    const std::string content = std::string(200000, ' ') + "{}";  // across several buffers
    const std::string compressed = gzip_of(content);
    EXPECT_EQ(gunzip(compressed, "m.gz", content.size()), content);
    try {
        gunzip(compressed, "m.gz", content.size() - 1);
        ADD_FAILURE() << "inflated beyond the limit";
    } catch (const import_error& error) {
        EXPECT_STREQ(error.what(),
                     "m.gz: the compressed model inflates to more than 200001 bytes "
                     "(--max-inflated).");
    }
}

std::string repeated(const std::string& text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i) result += text;
    return result;
}

// The nesting is counted as the parsers will see it: what looks like a tag inside a comment, a
// CDATA section, a processing instruction, an attribute value or a JSON string is none, an
// element closed at once adds no level, and siblings do not add up.
TEST(Nesting, RefusesTheFirstLevelBeyondTheLimitWithItsLine) {
    const int limit = largest_nesting_depth;
    const std::string open = repeated("<a>", limit - 1);
    const std::string close = repeated("</a>", limit - 1);
    const std::string noise =
        "<!-- <a><a> --><![CDATA[<a><a>]]><?pi <a><a>?><b x='/>' y=\"<a>\"/><c/>";
    const auto xml = check_xml_nesting;
    const auto json = check_json_nesting;
    const struct {
        const char* what;
        void (*check)(const std::string&, const char*);
        std::string text;
        const char* message;  // nullptr: accepted
    } cases[] = {
        {"elements at the limit", xml, open + "<a>" + noise + "</a>" + close, nullptr},
        {"an element beyond", xml, open + "\n<a>\n<a/><a></a></a>" + close,
         "m, line 3: the elements are nested more than 1000 levels deep."},
        {"sibling elements", xml, "<r>" + repeated("<a><b></b></a>", 2 * limit) + "</r>", nullptr},
        {"an attribute value with '>'", xml, open + "<a x='>'><a>" + close,
         "m, line 1: the elements are nested more than 1000 levels deep."},
        {"a document type", xml,
         "<?xml version='1.0'?>\n<!DOCTYPE sbml [<!ENTITY e '<a/>'>]>\n<sbml/>",
         "m, line 2: the document type declaration is not supported: SBML does not use one."},
        {"arrays at the limit", json,
         repeated("[", limit - 1) + "{\"a\": \"[{\\\"[\"}" + repeated("]", limit - 1), nullptr},
        {"an array beyond", json, "{\"a\":\n" + repeated("[", limit) + repeated("]", limit) + "}",
         "m, line 2: the arrays and objects are nested more than 1000 levels deep."},
        {"sibling arrays", json, "[" + repeated("[{}],", 2 * limit) + "[]]", nullptr},
    };
    for (const auto& c : cases) {
        try {
            c.check(c.text, "m");
            EXPECT_EQ(c.message, nullptr) << c.what;
        } catch (const import_error& error) {
            EXPECT_STREQ(error.what(), c.message) << c.what;
        }
    }
}

TEST(Command_Line, ReadsTheFilesAndOptions) {
    const std::vector<const char*> arguments = {"kestrane-import", "--drop",       "R_BIO",
                                                "model.xml",       "--external=h", "net.dat",
                                                "--exchange",      "external",     "--drop=ATPM"};
    import_command command;
    ASSERT_TRUE(read_command_line(static_cast<int>(arguments.size()), arguments.data(), command));
    EXPECT_EQ(command.model_file, "model.xml");
    EXPECT_EQ(command.network_file, "net.dat");
    EXPECT_EQ(command.options.dropped_reactions, (std::vector<std::string>{"R_BIO", "ATPM"}));
    EXPECT_EQ(command.options.external_metabolites, std::vector<std::string>{"h"});
    EXPECT_EQ(command.options.exchange, exchange_rule::external);

    // Each refusal names its fault on the first line, before the usage text.
    const struct {
        std::vector<const char*> arguments;
        const char* first_line;
    } refused[] = {
        {{"kestrane-import", "model.xml"}, "The network file is not given."},
        {{"kestrane-import", "model.xml", "net.dat", "third"},
         "The argument third is one too many: give the model file and the network file."},
        {{"kestrane-import", "model.xml", "net.dat", "--drop"}, "The option --drop needs a value."},
        {{"kestrane-import", "model.xml", "net.dat", "--exchange", "none"},
         "The option --exchange takes boundary or external, not none."},
        {{"kestrane-import", "model.xml", "net.dat", "--keep", "x"},
         "The option --keep is unknown."},
        {{"kestrane-import", "--help"}, ""},
    };
    for (const auto& c : refused) {
        import_command ignored;
        testing::internal::CaptureStdout();
        EXPECT_FALSE(
            read_command_line(static_cast<int>(c.arguments.size()), c.arguments.data(), ignored))
            << c.first_line;
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(output.substr(0, output.find('\n')), c.first_line);
    }
}

TEST(Command_Line, ReadsTheInflatedSizeInBytesKibMibOrGib) {
    const struct {
        const char* value;
        std::uint64_t size;  // 0: refused
    } cases[] = {
        {"512", 512},
        {"3K", 3 << 10},
        {"3M", 3 << 20},
        {"2G", std::uint64_t{2} << 30},
        {"18446744073709551615", UINT64_MAX},
        {"17179869183G", std::uint64_t{17179869183} << 30},
        {"17179869184G", 0},  // 2^64 bytes
        {"18446744073709551616", 0},
        {"0", 0},
        {"0K", 0},
        {"", 0},
        {"M", 0},
        {"-1", 0},
        {"1T", 0},
        {"1.5G", 0},
        {"1 G", 0},
    };
    for (const auto& c : cases) {
        const std::string option = std::string("--max-inflated=") + c.value;
        const std::vector<const char*> arguments = {"kestrane-import", "m.xml.gz", "n.dat",
                                                    option.c_str()};
        import_command command;
        testing::internal::CaptureStdout();
        const bool read =
            read_command_line(static_cast<int>(arguments.size()), arguments.data(), command);
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(read, c.size != 0) << c.value;
        if (read) {
            EXPECT_EQ(command.max_inflated, c.size) << c.value;
        } else {
            EXPECT_EQ(output.substr(0, output.find('\n')),
                      std::string("The option --max-inflated takes a number of bytes above zero, "
                                  "optionally followed by K, M or G, not ") +
                          c.value + ".");
        }
    }
    import_command defaults;
    const std::vector<const char*> plain = {"kestrane-import", "m.xml.gz", "n.dat"};
    ASSERT_TRUE(read_command_line(3, plain.data(), defaults));
    EXPECT_EQ(defaults.max_inflated, std::uint64_t{1} << 30);
}

// A stopping signal while the network file is written removes the temporary file beside it
// and still ends the program by that signal; the older network file stays as it was.
TEST(Network_File, AStoppingSignalWhileWritingRemovesTheTemporaryFile) {
    for (const int stopping : {SIGHUP, SIGINT, SIGTERM}) {
        char folder_template[] = "/tmp/importer_test.XXXXXX";
        const std::filesystem::path folder = mkdtemp(folder_template);
        const std::string name = folder / "network.dat";
        std::ofstream(name) << "older\n";
        const pid_t child = fork();
        if (child == 0) {
            std::string temporary;
            FILE* file = open_replacement_removed_on_signal(name.c_str(), temporary);
            if (file == nullptr || temporary.empty()) _exit(2);
            fputs("-ENZREV\n", file);
            fflush(file);
            raise(stopping);
            _exit(3);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == stopping) << status;
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            files.push_back(entry.path().filename());
        EXPECT_EQ(files, std::vector<std::string>{"network.dat"}) << stopping;
        std::ifstream older(name);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(older), {}), "older\n");
        std::filesystem::remove_all(folder);
    }
}

model_reaction reaction(const std::string& id,
                        std::vector<std::pair<std::string, double>> stoichiometry,
                        bool reversible) {
    model_reaction r;
    r.id = id;
    r.stoichiometry = std::move(stoichiometry);
    r.reversible = reversible;
    return r;
}

// The equations of the network file, the lines after -CAT.
std::string equations(const converted_network& network) {
    const std::string text = network_text(network);
    return text.substr(text.find("-CAT\n") + 5);
}

TEST(Conversion, ExchangedMetabolitesShareOneBoundaryMetaboliteOfAFreeName) {
    metabolic_model model;
    model.format = "SBML level 3 version 1";
    model.species = {{"M_A", false}, {"M_A_b", false}, {"M_B", false}};
    model.reactions = {reaction("R_EX_A", {{"M_A", -1}}, true),
                       reaction("R_DM_A", {{"M_A", -2}, {"M_B", -1}}, false),
                       reaction("R_T", {{"M_A_b", -1}, {"M_A", 1}, {"M_B", 1}}, false)};
    const converted_network network = convert_model(model, import_options{}, "m.xml");
    EXPECT_EQ(equations(network),
              "EX_A : A = A_b_2\n"
              "DM_A : 2 A + B = 2 A_b_2 + B_b\n"
              "T : A_b = A + B\n");
    ASSERT_EQ(network.metabolites.size(), 5u);
    EXPECT_FALSE(network.metabolites[1].external);  // the model's own A_b
    EXPECT_TRUE(network.metabolites[3].external);
    EXPECT_TRUE(network.metabolites[4].external);
}

TEST(Conversion, KeepsJsonIdsWholeAndRefusesNetworksWithoutInternalMetabolites) {
    metabolic_model model;
    model.format = "COBRA JSON";
    model.species = {{"M_x", false}, {"y", false}};
    model.reactions = {reaction("R_f", {{"M_x", -1}, {"y", 1}}, false)};
    EXPECT_EQ(equations(convert_model(model, import_options{}, "m.json")), "R_f : M_x = y\n");

    import_options all_external;
    all_external.external_metabolites = {"M_x", "y"};
    EXPECT_THROW(convert_model(model, all_external, "m.json"), import_error);
    import_options unknown;
    unknown.external_metabolites = {"x"};  // JSON ids have no prefix to leave out
    EXPECT_THROW(convert_model(model, unknown, "m.json"), import_error);
}

}  // namespace
