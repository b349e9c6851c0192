#include "import/stoichiometry.h"

#include <algorithm>
#include <cmath>

#include "import/import_error.h"

void net_stoichiometry::add(const std::string& species, double coefficient) {
    if (!std::isfinite(coefficient))
        refuse("Reaction %s: the coefficient of %s is not a finite number.", reaction_.c_str(),
               species.c_str());
    const auto found = std::find_if(sums_.begin(), sums_.end(),
                                    [&](const auto& entry) { return entry.first == species; });
    if (found == sums_.end())
        sums_.emplace_back(species, coefficient);
    else
        found->second += coefficient;
}

std::vector<std::pair<std::string, double>> net_stoichiometry::entries() const {
    std::vector<std::pair<std::string, double>> nonzero;
    for (const auto& entry : sums_)
        if (entry.second != 0.0) nonzero.push_back(entry);
    return nonzero;
}
