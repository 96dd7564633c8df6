// Facts of a layered profile that soil models and summaries need: the
// effective stresses at the middle of each layer, Vs30 and the site period.
// A profile is its rows from the surface down, the last row the half-space
// below the layers (as in the ground model's layer table).
#pragma once

#include <optional>
#include <span>

namespace sitewave::soil {

// Unit weight is density times standard gravity: 1 t/m^3 weighs 9.80665 kN/m^3.
inline constexpr double standard_gravity = 9.80665;
// Below the water table a layer weighs its unit weight less that of water.
inline constexpr double water_unit_weight = 9.81;  // kN/m^3

struct profile_row {
  double thickness;  // m, at least 0; not read for the last row (the half-space)
  double density;    // t/m^3, above 0
  double vs;         // m/s, above 0
  double k0 = 0.5;   // coefficient of earth pressure at rest, above 0
};

struct layer_stress {
  double depth;     // m, the middle of the layer
  double vertical;  // effective vertical stress sigma'v there, kPa
  double mean;      // mean effective stress sigma'm = sigma'v (1 + 2 k0) / 3, kPa
};

// Throws std::invalid_argument for an empty profile or a row value out of its
// range, naming the row (from 1), the value and what is expected. The
// functions below check their rows so.
void check_profile(std::span<const profile_row> rows);

// out[l] for each layer l above the half-space (rows.size() - 1 entries). The
// water table lies at water_depth (m below the surface, at least 0; none
// means dry throughout); below it the pore pressure 9.81 kN/m^3 per metre is
// taken off the overburden. Throws std::invalid_argument for a row that
// check_profile refuses, a layer below the water table no heavier than
// water, a bad water depth, or out of the wrong size. Divide by kpa_per_atm
// (model_registry.hpp) for a model's sigma_m.
void layer_stresses(std::span<const profile_row> rows, std::optional<double> water_depth,
                    std::span<layer_stress> out);

// The time-averaged shear-wave velocity of the top 30 m, 30 / sum(h / Vs);
// where the layers end above 30 m the half-space fills the rest.
double vs30(std::span<const profile_row> rows);

// The quarter-wavelength period of the soil column, sum(4 h / Vs) over the
// layers above the half-space, in seconds; 0 for a half-space alone.
double site_period(std::span<const profile_row> rows);

}  // namespace sitewave::soil
