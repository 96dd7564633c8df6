// Rows of the exact physics from soil layers at strain-compatible properties:
// the complex velocity Vs·√(G/Gmax)·(1 + i·D) is the exact physics' damped
// velocity with Q = 1/(2D), for S and P waves alike; the P velocity keeps the
// small-strain Poisson ratio, or its own value below the water table.
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "core/eql/input_checks.hpp"
#include "core/eql/layer_rows.hpp"

namespace sitewave::eql {

namespace {

double quality_of(double damping) {
  return damping > 0.0 ? 0.5 / damping : std::numeric_limits<double>::infinity();
}

}  // namespace

std::vector<layer_properties> small_strain(std::span<const soil_layer> layers) {
  std::vector<layer_properties> out;
  out.reserve(layers.size());
  for (const soil_layer& l : layers) out.push_back({1.0, l.damping});
  return out;
}

exact::layer_row row_of(std::span<const soil_layer> layers, std::size_t j,
                        const layer_properties& p) {
  const soil_layer& l = layers[j];
  const layer_properties used = softens(layers, j) ? p : layer_properties{1.0, l.damping};
  const double scale = std::sqrt(used.modulus_ratio);
  const double vp = l.below_water_table ? l.vp : l.vp * scale;
  const double q = quality_of(used.damping);
  return {.density = l.density,
          .vp = vp,
          .qp = q,
          .fp = 0.0,
          .vs = l.vs * scale,
          .qs = q,
          .fs = 0.0,
          .thickness = l.thickness};
}

std::vector<exact::layer_row> rows_of(std::span<const soil_layer> layers,
                                      std::span<const layer_properties> properties) {
  std::vector<exact::layer_row> rows;
  rows.reserve(layers.size());
  for (std::size_t j = 0; j < layers.size(); ++j) rows.push_back(row_of(layers, j, properties[j]));
  return rows;
}

std::vector<exact::layer_row> vertical_rows(std::span<const soil_layer> layers,
                                            const layer_profile& h1, const layer_profile& h2) {
  check_layers(layers);
  if (h1.layers.size() != layers.size() || h2.layers.size() != layers.size()) {
    throw std::invalid_argument("equivalent-linear analysis: vertical rows: profiles of " +
                                std::to_string(h1.layers.size()) + " and " +
                                std::to_string(h2.layers.size()) + " rows for " +
                                std::to_string(layers.size()) + " layers");
  }
  std::vector<exact::layer_row> rows;
  rows.reserve(layers.size());
  for (std::size_t j = 0; j < layers.size(); ++j) {
    const layer_result& a = h1.layers[j];
    const layer_result& b = h2.layers[j];
    const layer_result& larger = b.max_strain > a.max_strain ? b : a;
    rows.push_back(row_of(layers, j, {larger.modulus_ratio, larger.damping}));
  }
  return rows;
}

}  // namespace sitewave::eql
