// Reader of the ground model file soil_dat.csv.
#pragma once

#include "core/ground/layer_table.hpp"

namespace sitewave::dialogue {

// Reads soil_dat.csv from the working directory on channel 4, echoes it on
// the console and returns the layer table, the incidence angle theta (radians)
// and the input wave type nin. Input that cannot make a sound analysis is
// refused with a one-line message and ends the run.
void soilin(ground::layer_table& layers, float& theta, int& nin);

}  // namespace sitewave::dialogue
