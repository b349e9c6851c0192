#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The network as the network file will hold it, with the notes that its header lines give.

struct network_metabolite {
    std::string name;
    bool external = false;
};

// A reaction with whole coefficients: (metabolite position, coefficient), consumed metabolites
// negative, in the order the equation names them.
struct network_reaction {
    std::string name;
    bool reversible = false;
    std::vector<std::pair<std::size_t, std::int64_t>> coefficients;
};

enum class exchange_rule {
    boundary_metabolite,  // kept, with an external <metabolite>_b on the empty side
    external,             // left out, its metabolites made external
};

// What the conversion did, for the header: names as written in the network file, or for
// elements left out as they would have been written.
struct conversion_notes {
    std::string source;  // the model file's name and its kind
    std::string model_id;
    bool bounds_used = false;     // some reaction's reversibility came from its flux bounds
    bool attribute_used = false;  // some reaction's from the SBML reversible attribute
    bool flag_used = false;       // some reaction's from MASSpy's _reversible
    exchange_rule exchange = exchange_rule::boundary_metabolite;
    std::vector<std::string> dropped;              // --drop
    std::vector<std::string> blocked;              // both bounds zero, or lower above upper
    std::vector<std::string> without_metabolites;  // no net coefficient left
    std::vector<std::string> exchanges_left_out;   // --exchange external
    std::vector<std::string> backwards;            // written with their sides exchanged
    std::vector<std::string> made_external;        // --external
    std::vector<std::pair<std::string, std::int64_t>> scaled;  // reaction, factor
    std::vector<std::pair<std::string, std::string>> renamed;  // name, model id
    std::vector<std::string> unused_metabolites;
};

struct converted_network {
    std::vector<network_metabolite> metabolites;  // model order, then the boundary metabolites
    std::vector<network_reaction> reactions;      // model order
    conversion_notes notes;
};
