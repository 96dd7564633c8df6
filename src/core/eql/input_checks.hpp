// Refusal of layers, records, settings and curve values the equivalent-linear
// analysis cannot use, with a message that names the layer or the value and
// what was expected.
#pragma once

#include <span>

#include "core/eql/equivalent_linear.hpp"

namespace sitewave::eql {

// Each throws std::invalid_argument.
void check_layers(std::span<const soil_layer> layers);
void check_record(const record_input& record);
void check_settings(const eql_settings& settings);
void check_start(std::span<const layer_properties> start, std::span<const soil_layer> layers);

// A layer with curves (the half-space never counts as one).
bool softens(std::span<const soil_layer> layers, std::size_t j);

// The curves of layer j (0-based) at an effective strain, checked.
layer_properties curve_values(const soil_layer& layer, std::size_t j, double strain);

}  // namespace sitewave::eql
