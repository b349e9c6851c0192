#pragma once

#include <set>
#include <string>
#include <vector>

// The name a model id takes in the network file, before it is made unique: the SBML prefix
// ("R_" for reactions, "M_" for species; empty for JSON models) removed; every character the
// file cannot hold in a name (white space, control characters, each non-ASCII character)
// replaced by "_"; a section key inside it ("-CAT") broken by "_" in place of its "-"; and a
// name the equation reader would take for a number or an operator ("1e5", "inf", "+")
// preceded by "_".
std::string network_name(const std::string& id, const std::string& prefix);

// Text for a header line: line breaks and other control characters replaced by "_", and the
// key that ends the header broken as in a name.
std::string header_safe(const std::string& text);

// Hands out names that are all different: a name already given gets "_2", "_3", ... behind it,
// the first number that makes a name neither given nor reserved for a later element.
class unique_names {
   public:
    explicit unique_names(const std::vector<std::string>& reserved)
        : reserved_(reserved.begin(), reserved.end()) {}

    std::string take(const std::string& candidate);

   private:
    std::set<std::string> reserved_;
    std::set<std::string> given_;
};
