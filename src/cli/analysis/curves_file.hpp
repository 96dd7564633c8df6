// curves.csv: the soil curves the layers of a run use, each once, at the
// strains of the default listing, so that a plot can show them beside the
// results they gave.
#pragma once

#include <span>
#include <string>

#include "cli/inputs/soil_behaviour.hpp"

namespace sitewave::cli {

// Whether any row has a curve (and a run writes curves.csv).
bool uses_curves(std::span<const soil_behaviour> behaviour);

// curve,strain_percent,modulus_ratio,damping_percent; a curve is named by
// its label, the model with its parameters or the user table's name.
std::string curves_csv(std::span<const soil_behaviour> behaviour);

}  // namespace sitewave::cli
