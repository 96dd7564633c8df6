// The limits the equivalent-linear analysis needs of its inputs: usable
// layers (the exact physics' own limits for their rows), a record on a
// power-of-two transform, settings in range, and curve values a row can take.
#include "core/eql/input_checks.hpp"

#include <bit>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <stdexcept>
#include <string>

#include "core/eql/layer_rows.hpp"
#include "core/exact/model_checks.hpp"

namespace sitewave::eql {

namespace {

std::string shown(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

[[noreturn]] void refuse(const std::string& what) {
  throw std::invalid_argument("equivalent-linear analysis: " + what);
}

std::string layer_name(std::size_t j) {
  return "layer " + std::to_string(j + 1) + ", ";
}

bool finite_positive(double v) {
  return std::isfinite(v) && v > 0.0;
}

bool usable_properties(const layer_properties& p) {
  return finite_positive(p.modulus_ratio) && std::isfinite(p.damping) && p.damping >= 0.0;
}

}  // namespace

bool softens(std::span<const soil_layer> layers, std::size_t j) {
  return j + 1 < layers.size() && static_cast<bool>(layers[j].modulus_ratio);
}

void check_layers(std::span<const soil_layer> layers) {
  if (layers.empty()) refuse("no layers: at least the half-space is expected");
  for (std::size_t j = 0; j < layers.size(); ++j) {
    const soil_layer& l = layers[j];
    if (!(std::isfinite(l.damping) && l.damping >= 0.0)) {
      refuse(layer_name(j) + "damping " + shown(l.damping) +
             ": a finite ratio of zero or more is expected");
    }
    if (static_cast<bool>(l.modulus_ratio) != static_cast<bool>(l.damping_ratio)) {
      refuse(layer_name(j) + "curves: both the modulus and the damping curve, or neither, are expected");
    }
  }
  // Density, velocities and thicknesses: the exact physics' own limits, which
  // name the row; softening keeps them (G/Gmax > 0 and Vp/Vs held or grown).
  exact::check_model(rows_of(layers, small_strain(layers)), 0.0);
}

void check_record(const record_input& r) {
  const std::size_t n = r.transform_size;
  if (r.acceleration.empty()) refuse("record: no samples");
  if (n < 2 || !std::has_single_bit(n) || n < r.acceleration.size()) {
    refuse("record: transform size " + std::to_string(n) + " for " +
           std::to_string(r.acceleration.size()) +
           " samples: a power of two of at least 2 and no fewer than the samples is expected");
  }
  for (std::size_t i = 0; i < r.acceleration.size(); ++i) {
    if (!std::isfinite(r.acceleration[i])) {
      refuse("record: sample " + std::to_string(i + 1) + " is " + shown(r.acceleration[i]) +
             ": finite accelerations are expected");
    }
  }
  if (!finite_positive(r.dt)) {
    refuse("record: time step " + shown(r.dt) + " s: a finite value above zero is expected");
  }
  if (!(r.theta >= 0.0 && r.theta < std::numbers::pi / 2.0)) {
    refuse("record: incidence angle " + shown(r.theta) +
           " rad: a value of at least 0 and below π/2 is expected");
  }
}

void check_settings(const eql_settings& s) {
  if (!finite_positive(s.strain_ratio)) {
    refuse("settings: strain ratio " + shown(s.strain_ratio) + ": a finite value above zero is expected");
  }
  if (!finite_positive(s.tolerance)) {
    refuse("settings: tolerance " + shown(s.tolerance) + ": a finite value above zero is expected");
  }
  if (s.max_iterations < 1) {
    refuse("settings: maximum iterations " + std::to_string(s.max_iterations) +
           ": 1 or more is expected");
  }
}

void check_start(std::span<const layer_properties> start, std::span<const soil_layer> layers) {
  if (start.empty()) return;
  if (start.size() != layers.size()) {
    refuse("start: " + std::to_string(start.size()) + " properties for " +
           std::to_string(layers.size()) + " layers: one per layer is expected");
  }
  for (std::size_t j = 0; j + 1 < start.size(); ++j) {
    if (softens(layers, j) && !usable_properties(start[j])) {
      refuse("start: " + layer_name(j) + "G/Gmax " + shown(start[j].modulus_ratio) + " and D " +
             shown(start[j].damping) + ": a ratio above zero and a damping of zero or more are "
             "expected");
    }
  }
}

layer_properties curve_values(const soil_layer& layer, std::size_t j, double strain) {
  const layer_properties p{layer.modulus_ratio(strain), layer.damping_ratio(strain)};
  if (!usable_properties(p)) {
    refuse(layer_name(j) + "curves at strain " + shown(strain) + " give G/Gmax " +
           shown(p.modulus_ratio) + " and D " + shown(p.damping) +
           ": a finite ratio above zero and a finite damping of zero or more are expected");
  }
  return p;
}

}  // namespace sitewave::eql
