#include "import/command_line.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

namespace {

bool usage() {
    printf(
        "\nkestrane-import MODEL NETWORK_FILE [--drop REACTION]... [--external METABOLITE]... "
        "[--exchange boundary|external] [--max-inflated SIZE]\n\n"
        "MODEL is an SBML file (level 2 or 3, plain or gzip-compressed) or a COBRA JSON file.\n"
        "--drop REACTION        leaves the reaction out\n"
        "--external METABOLITE  makes the metabolite external\n"
        "--exchange boundary    keeps exchange reactions, with an external <metabolite>_b on "
        "their empty side (the default)\n"
        "--exchange external    leaves exchange reactions out and makes their metabolites "
        "external\n"
        "--max-inflated SIZE    refuses a gzip-compressed model that inflates to more than SIZE "
        "bytes (with K, M or G: KiB, MiB or GiB; default 1G)\n");
    return false;
}

// A size in bytes: digits, optionally followed by K, M or G for KiB, MiB or GiB. Returns false
// for anything else, zero, or a size beyond 64 bits.
bool read_size(const std::string& text, std::uint64_t& size) {
    const std::size_t digits = text.find_first_not_of("0123456789");
    if (digits == 0 || text.empty()) return false;
    const std::string unit = digits == std::string::npos ? "" : text.substr(digits);
    const char* const units[] = {"", "K", "M", "G"};
    int shift = -1;
    for (int u = 0; u < 4; ++u)
        if (unit == units[u]) shift = 10 * u;
    if (shift < 0) return false;
    size = 0;
    for (std::size_t i = 0; i < text.size() && i < digits; ++i) {
        const std::uint64_t digit = static_cast<std::uint64_t>(text[i] - '0');
        if (size > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return false;
        size = size * 10 + digit;
    }
    if (size == 0 || size > std::numeric_limits<std::uint64_t>::max() >> shift) return false;
    size <<= shift;
    return true;
}

}  // namespace

bool read_command_line(int argc, const char* const* argv, import_command& command) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-h" || argument == "--help") return usage();
        if (argument.size() < 2 || argument.compare(0, 2, "--") != 0 || argument == "--") {
            files.push_back(argument);
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string option = argument.substr(0, equals);
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            printf("The option %s needs a value.\n", option.c_str());
            return usage();
        }
        if (option == "--drop") {
            command.options.dropped_reactions.push_back(value);
        } else if (option == "--external") {
            command.options.external_metabolites.push_back(value);
        } else if (option == "--exchange" && value == "boundary") {
            command.options.exchange = exchange_rule::boundary_metabolite;
        } else if (option == "--exchange" && value == "external") {
            command.options.exchange = exchange_rule::external;
        } else if (option == "--max-inflated") {
            if (!read_size(value, command.max_inflated)) {
                printf(
                    "The option --max-inflated takes a number of bytes above zero, optionally "
                    "followed by K, M or G, not %s.\n",
                    value.c_str());
                return usage();
            }
        } else if (option == "--exchange") {
            printf("The option --exchange takes boundary or external, not %s.\n", value.c_str());
            return usage();
        } else {
            printf("The option %s is unknown.\n", option.c_str());
            return usage();
        }
    }
    if (files.size() > 2) {
        printf("The argument %s is one too many: give the model file and the network file.\n",
               files[2].c_str());
        return usage();
    }
    if (files.size() == 1) {
        printf("The network file is not given.\n");
        return usage();
    }
    if (files.empty()) return usage();
    command.model_file = files[0];
    command.network_file = files[1];
    return true;
}
