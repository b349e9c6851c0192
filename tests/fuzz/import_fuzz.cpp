// Fuzz target of the model importer: any bytes are read as a model file (SBML or COBRA JSON,
// plain or gzip-compressed) and converted under both exchange rules. Besides what the
// sanitizers catch, the importer may only refuse with its own error, and the network file it
// writes must read back through kestrane's reader as the network it converted, coefficient for
// coefficient.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "import/conversion.h"
#include "import/import_error.h"
#include "import/model_file.h"
#include "import/network_file.h"
#include "parser/parser.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// Positions of the names in the order of the lists, the first list first.
std::map<std::string, std::size_t> positions(const std::vector<std::string>& first,
                                             const std::vector<std::string>& second) {
    std::map<std::string, std::size_t> position;
    for (const std::string& name : first) position.emplace(name, position.size());
    for (const std::string& name : second) position.emplace(name, position.size());
    return position;
}

void check_written(const converted_network& network) {
    network_file file;
    std::vector<bool> with_equation;
    require(parse_network_text(network_text(network), file, with_equation) == 0);
    const auto row = positions(file.internal_metabolites, file.external_metabolites);
    const auto column = positions(file.irreversible_reactions, file.reversible_reactions);
    require(row.size() == network.metabolites.size());
    require(column.size() == network.reactions.size());
    std::size_t coefficients = 0;
    for (const network_reaction& reaction : network.reactions) {
        require(column.count(reaction.name) != 0);
        for (const auto& [metabolite, value] : reaction.coefficients) {
            const auto found = file.coefficients.find(
                {row.at(network.metabolites[metabolite].name), column.at(reaction.name)});
            require(found != file.coefficients.end());
            require(found->second.value == static_cast<double>(value));
            // kestrane reads each amount as a 32-bit integer, on whichever side it stands.
            require(std::fabs(found->second.value) <= 2147483647.0);
            ++coefficients;
        }
    }
    require(file.coefficients.size() == coefficients);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A small limit, so that a compressed input cannot take the fuzzer's memory.
    constexpr std::uint64_t max_inflated = 16 << 20;
    try {
        const metabolic_model model = read_model_text(
            std::string(reinterpret_cast<const char*>(data), size), "fuzz", max_inflated);
        for (const exchange_rule rule :
             {exchange_rule::boundary_metabolite, exchange_rule::external}) {
            import_options options;
            options.exchange = rule;
            try {
                check_written(convert_model(model, options, "fuzz"));
            } catch (const import_error&) {
            }
        }
    } catch (const import_error&) {
    }
    return 0;
}
