// The strain-compatible loop: analyse with the current properties, read each
// layer's effective strain, take new properties from its curves, and stop
// when no layer's modulus or damping moves by the tolerance or more. The
// analysis kept is the last one, with the properties it used.
#include "core/eql/equivalent_linear.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/eql/input_checks.hpp"
#include "core/eql/layer_rows.hpp"
#include "core/eql/profile_pass.hpp"

namespace sitewave::eql {

namespace {

double relative_change(double now, double before) {
  const double larger = std::max(std::abs(now), std::abs(before));
  return larger > 0.0 ? std::abs(now - before) / larger : 0.0;
}

// The properties of the first analysis: `start` where given, the small-strain
// ones otherwise, and always the small-strain ones for rows that stay linear.
std::vector<layer_properties> first_properties(std::span<const soil_layer> layers,
                                               std::span<const layer_properties> start) {
  std::vector<layer_properties> p = small_strain(layers);
  if (start.empty()) return p;
  for (std::size_t j = 0; j < layers.size(); ++j) {
    if (softens(layers, j)) p[j] = start[j];
  }
  return p;
}

layer_profile profile_of(profile_pass& pass, std::span<const soil_layer> layers,
                         std::span<const layer_properties> used, std::vector<exact::layer_row> rows,
                         double strain_ratio, const work_control& control) {
  layer_profile out;
  out.layers = pass.results(layers, used, strain_ratio, control);
  if (!out.layers.empty()) out.rows = std::move(rows);
  return out;
}

}  // namespace

eql_result equivalent_linear(std::span<const soil_layer> layers, const record_input& record,
                             const eql_settings& settings, std::span<const layer_properties> start,
                             const work_control& control) {
  check_layers(layers);
  check_record(record);
  check_settings(settings);
  check_start(start, layers);
  std::vector<layer_properties> used = first_properties(layers, start);
  profile_pass pass(record, layers.size());
  eql_result result;
  for (;;) {
    std::vector<exact::layer_row> rows = rows_of(layers, used);
    if (!pass.analyse(rows, control)) {
      result.outcome = eql_outcome::stopped;
      return result;
    }
    ++result.iterations;
    const std::span<const double> strains = pass.peak_strains();
    std::vector<layer_properties> next = used;
    iteration_step step;
    for (std::size_t j = 0; j + 1 < layers.size(); ++j) {
      if (!softens(layers, j)) continue;
      next[j] = curve_values(layers[j], j, settings.strain_ratio * strains[j]);
      step.modulus_change = std::max(step.modulus_change,
                                     relative_change(next[j].modulus_ratio, used[j].modulus_ratio));
      step.damping_change =
          std::max(step.damping_change, relative_change(next[j].damping, used[j].damping));
    }
    result.history.push_back(step);
    const bool agreed =
        step.modulus_change < settings.tolerance && step.damping_change < settings.tolerance;
    if (agreed || result.iterations >= settings.max_iterations) {
      result.outcome = agreed ? eql_outcome::converged : eql_outcome::iteration_limit;
      result.profile =
          profile_of(pass, layers, used, std::move(rows), settings.strain_ratio, control);
      if (result.profile.layers.empty()) result.outcome = eql_outcome::stopped;
      return result;
    }
    used = std::move(next);
  }
}

layer_profile linear_response(std::span<const soil_layer> layers, const record_input& record,
                              const eql_settings& settings, const work_control& control) {
  check_layers(layers);
  check_record(record);
  check_settings(settings);
  const std::vector<layer_properties> used = small_strain(layers);
  profile_pass pass(record, layers.size());
  std::vector<exact::layer_row> rows = rows_of(layers, used);
  if (!pass.analyse(rows, control)) return {};
  return profile_of(pass, layers, used, std::move(rows), settings.strain_ratio, control);
}

layer_profile linear_response_through(std::span<const exact::layer_row> rows,
                                      const record_input& record, const eql_settings& settings,
                                      const work_control& control) {
  std::vector<soil_layer> layers;
  for (const exact::layer_row& r : rows) {
    soil_layer l;
    l.thickness = r.thickness;
    l.density = r.density;
    l.vs = r.vs;
    l.vp = r.vp;
    l.damping = std::isfinite(r.qs) ? 0.5 / r.qs : 0.0;
    layers.push_back(std::move(l));
  }
  check_layers(layers);
  check_record(record);
  check_settings(settings);
  const std::vector<layer_properties> used = small_strain(layers);
  profile_pass pass(record, layers.size());
  if (!pass.analyse(rows, control)) return {};
  return profile_of(pass, layers, used, std::vector<exact::layer_row>(rows.begin(), rows.end()),
                    settings.strain_ratio, control);
}

std::vector<layer_properties> properties_of(const layer_profile& profile) {
  std::vector<layer_properties> out;
  out.reserve(profile.layers.size());
  for (const layer_result& r : profile.layers) out.push_back({r.modulus_ratio, r.damping});
  return out;
}

}  // namespace sitewave::eql
