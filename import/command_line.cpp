#include "import/command_line.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool usage() {
    printf(
        "\nkestrane-import MODEL NETWORK_FILE [--drop REACTION]... [--external METABOLITE]... "
        "[--exchange boundary|external]\n\n"
        "MODEL is an SBML file (level 2 or 3, plain or gzip-compressed) or a COBRA JSON file.\n"
        "--drop REACTION        leaves the reaction out\n"
        "--external METABOLITE  makes the metabolite external\n"
        "--exchange boundary    keeps exchange reactions, with an external <metabolite>_b on "
        "their empty side (the default)\n"
        "--exchange external    leaves exchange reactions out and makes their metabolites "
        "external\n");
    return false;
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
        } else if (option == "--exchange") {
            printf("The option --exchange takes boundary or external, not %s.\n", value.c_str());
            return usage();
        } else {
            printf("The option %s is unknown.\n", option.c_str());
            return usage();
        }
    }
    if (files.size() != 2) return usage();
    command.model_file = files[0];
    command.network_file = files[1];
    return true;
}
