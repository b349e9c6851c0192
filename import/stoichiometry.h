#pragma once

#include <string>
#include <utility>
#include <vector>

// Gathers the coefficients of one reaction into net coefficients: a species named twice, or on
// both sides, gets the sum, in the order the reaction first names it. The network file keeps
// only the last coefficient of a name in an equation, so only net ones may be written.
class net_stoichiometry {
   public:
    explicit net_stoichiometry(std::string reaction) : reaction_(std::move(reaction)) {}

    // Adds a coefficient, consumed species negative. Throws an import_error for a value that is
    // not finite.
    void add(const std::string& species, double coefficient);

    // The net coefficients that are not zero.
    std::vector<std::pair<std::string, double>> entries() const;

   private:
    std::string reaction_;
    std::vector<std::pair<std::string, double>> sums_;
};
