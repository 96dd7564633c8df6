// The ground below the surface as a run reports it: for each horizontal
// component, each (sub)layer's velocity, modulus ratio, damping, peak and
// effective strain, peak stress and peak acceleration, from the
// equivalent-linear iteration or from one linear analysis at the
// small-strain properties; and the motions at chosen depths. Exact physics
// only: the legacy tables give no field within the layers.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/analysis/analysis.hpp"
#include "cli/inputs/ground_model.hpp"
#include "cli/inputs/record.hpp"
#include "cli/inputs/soil_behaviour.hpp"
#include "cli/io/text_sink.hpp"
#include "core/eql/equivalent_linear.hpp"
#include "core/soil/curve.hpp"

namespace sitewave::cli {

// One (sub)layer of the reported profile.
struct profile_layer {
  int layer = 0;  // row of the ground model, from 1
  std::string name;
  double top = 0.0;     // m
  double bottom = 0.0;  // m; infinity for the half-space
};

struct component_profile {
  std::size_t component = 0;  // 0 H1, 1 H2
  eql::layer_profile profile;
  // The iteration, for an equivalent-linear run.
  std::optional<eql::eql_outcome> outcome;
  int iterations = 0;
  std::vector<eql::iteration_step> history;
};

struct site_results {
  std::vector<profile_layer> layers;
  std::vector<eql::soil_layer> soils;  // the (sub)layers analysed
  std::vector<component_profile> components;
  // The record's unit in m/s², when known: strains and stresses need it.
  std::optional<double> unit_m_s2;
  // The strain-compatible rows for the analysis of the surface motion, for
  // an equivalent-linear run.
  std::optional<component_rows> rows;
  // Motions at the depths asked for, per horizontal component: within and
  // outcrop, in the record's unit, transform-size samples.
  struct depth_set {
    std::size_t component;
    std::vector<eql::depth_motion> motions;
  };
  std::vector<depth_set> depth_motions;
};

// The record's unit (--units, else the record's own) in m/s² when it is a
// known one; for the equivalent-linear analysis, whose strains need it, an
// option_error naming the accepted units when it is not.
std::optional<double> checked_unit(const run_options& o, std::string_view record_unit);

// Whether a run reports the profile: the exact physics with a record that
// has a horizontal component.
bool reports_profile(const run_options& o);

// Refuses (input_error) what an equivalent-linear run cannot take (units
// the strains cannot come from) and runs the iteration of each horizontal
// component, or, for a linear run, one analysis at the small-strain
// properties; then the motions at depth. transform_size is the run's.
site_results site_profile_of(const run_options& o, const record& rec, const ground_model& model,
                             std::span<const soil_behaviour> behaviour, float angle_deg,
                             input_kind input, int transform_size, const work_control& control);

// Whether any (sub)layer has curves (else an equivalent-linear run is linear).
bool has_curves(const site_results& s);

// profile.csv and depth_motions.csv.
std::string profile_csv(const site_results& s);
void depth_motions_csv(const site_results& s, const record& rec, const analysis& a,
                       text_sink& out);

}  // namespace sitewave::cli
