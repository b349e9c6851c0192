#pragma once

#include <string>
#include <vector>

// Warns on standard output about declarations the equations cannot fill: every repeated
// declaration of a reaction or a metabolite (its second column or row stays zero), then every
// declared reaction without an equation (its column stays zero, a mode of its own). Names are
// taken in file order; reactions_with_equation has one flag per reaction column (irreversible
// reactions first).
void warn_about_declarations(const std::vector<std::string>& reversible_reactions,
                             const std::vector<std::string>& irreversible_reactions,
                             const std::vector<std::string>& internal_metabolites,
                             const std::vector<std::string>& external_metabolites,
                             const std::vector<bool>& reactions_with_equation);
