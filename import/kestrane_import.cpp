// kestrane-import: converts an SBML or COBRA JSON model into a network file for kestrane.

#include <cstdio>
#include <new>
#include <string>

#include "driver/same_file.h"
#include "import/command_line.h"
#include "import/conversion.h"
#include "import/import_error.h"
#include "import/model_file.h"
#include "import/network_file.h"

namespace {

std::string file_part(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
    // 1. The command line.
    import_command command;
    if (!read_command_line(argc, argv, command)) return 1;
    if (names_same_file(command.model_file.c_str(), command.network_file.c_str())) {
        printf("The network file %s is the model file.\n", command.network_file.c_str());
        return 1;
    }
    try {
        // 2. The model.
        const metabolic_model model =
            read_model_file(command.model_file.c_str(), command.max_inflated);
        printf("Read %s (%s): %zu reactions, %zu metabolites.\n", command.model_file.c_str(),
               model.format.c_str(), model.reactions.size(), model.species.size());

        // 3. The network under the import rules.
        const converted_network network = convert_model(
            model, command.options, file_part(command.model_file) + " (" + model.format + ")");

        // 4. The network file, whole or not at all.
        write_network_file(command.network_file.c_str(), network_text(network));
        std::size_t reversible = 0;
        std::size_t external = 0;
        for (const network_reaction& r : network.reactions) reversible += r.reversible;
        for (const network_metabolite& m : network.metabolites) external += m.external;
        printf(
            "Wrote %s: %zu reactions (%zu reversible), %zu internal and %zu external "
            "metabolites.\n",
            command.network_file.c_str(), network.reactions.size(), reversible,
            network.metabolites.size() - external, external);
    } catch (const import_error& error) {
        if (*error.what() != '\0') printf("%s\n", error.what());
        printf("No network file written.\n");
        return 1;
    } catch (const std::bad_alloc&) {
        printf("\nNot enough memory: model\nProgramm prematurely finished.\n");
        return 1;
    } catch (const std::exception& error) {
        // What the libraries throw beyond the failures their callers turn into messages.
        printf("%s cannot be imported: %s\nNo network file written.\n", command.model_file.c_str(),
               error.what());
        return 1;
    }
    return 0;
}
