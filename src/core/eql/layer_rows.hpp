// The exact physics' rows of soil layers at given properties.
#pragma once

#include <span>
#include <vector>

#include "core/eql/equivalent_linear.hpp"

namespace sitewave::eql {

// The small-strain properties: G/Gmax = 1 and the initial damping.
std::vector<layer_properties> small_strain(std::span<const soil_layer> layers);

// Row j at properties p, the P velocity by the vertical rule. Layers without
// curves and the half-space keep their small-strain values.
exact::layer_row row_of(std::span<const soil_layer> layers, std::size_t j,
                        const layer_properties& p);

std::vector<exact::layer_row> rows_of(std::span<const soil_layer> layers,
                                      std::span<const layer_properties> properties);

}  // namespace sitewave::eql
