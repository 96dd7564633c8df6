// The record of a run, for people and for the tools that collect many runs
// (a batch summary reads its peaks back from here).
#include "cli/run/run_json.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "cli/inputs/units.hpp"
#include "cli/io/json_writer.hpp"
#include "textfmt/text.hpp"

#ifndef SITEWAVE_VERSION
#define SITEWAVE_VERSION "unknown"
#endif

namespace sitewave::cli {

namespace {

// The peak |value| of the first `count` samples; NaN when any is not finite.
double peak_of(const std::vector<float>& v, std::size_t count) {
  double peak = 0.0;
  for (std::size_t i = 0; i < count && i < v.size(); ++i) {
    const double x = static_cast<double>(v[i]);
    if (!std::isfinite(x)) return std::numeric_limits<double>::quiet_NaN();
    peak = std::max(peak, std::fabs(x));
  }
  return peak;
}

// The components the record has; a peak that is not finite is null.
void per_component(json_writer& j, std::string_view key, const std::array<double, 3>& values,
                   std::size_t components) {
  j.begin_object(key);
  // A peak is a sample of the motion: written as surface.csv writes it.
  for (std::size_t c = 0; c < components; ++c) {
    j.single(component_names[c], static_cast<float>(values[c]));
  }
  j.end_object();
}

void write_not_finite(json_writer& j, const not_finite_results& n) {
  if (!n.any()) {
    j.null("not_finite");
    return;
  }
  j.begin_object("not_finite");
  if (n.transfer_from_hz) {
    j.value("amplification_from_hz", *n.transfer_from_hz);
  } else {
    j.null("amplification_from_hz");
  }
  j.begin_object("surface_from_s");
  for (std::size_t c = 0; c < 3; ++c) {
    if (n.surface_from_s[c]) j.value(component_names[c], *n.surface_from_s[c]);
  }
  j.end_object();
  j.value("cause", n.cause);
  j.end_object();
}

// The units of intensity.csv's columns: SI for a unit the command knows,
// else the record's unit times powers of seconds, and no Arias intensity.
void write_intensity_units(json_writer& j, const std::string& units) {
  const bool si = metres_per_second_squared(units).has_value();
  const std::string unit = units.empty() ? "record unit" : units;
  j.begin_object("intensity_units");
  j.value("pga", si ? "m/s2" : unit);
  j.value("pgv", si ? "m/s" : unit + "*s");
  j.value("pgd", si ? "m" : unit + "*s2");
  if (si) {
    j.value("arias_m_s", "m/s");
  } else {
    j.null("arias_m_s");
  }
  j.value("d5_95_s", "s");
  j.value("d5_75_s", "s");
  j.value("cav_m_s", si ? "m/s" : unit + "*s");
  j.end_object();
}

void write_record(json_writer& j, const run_facts& f) {
  j.value("record", f.rec.paths.front());
  j.begin_array("record_files");
  for (const std::string& p : f.rec.paths) j.value("", p);
  j.end_array();
  j.value("record_format", f.rec.format);
  j.begin_object("components");
  j.value("time", std::string(textfmt::trimmed(f.rec.titles[0])));
  for (std::size_t c = 0; c < f.rec.components; ++c) {
    j.value(component_names[c], std::string(textfmt::trimmed(f.rec.titles[c + 1])));
  }
  j.end_object();
  j.value("rows", static_cast<long long>(f.rec.rows()));
  j.single("dt", f.result.dt);
  j.value("scale", static_cast<double>(f.options.scale.value_or(1.0f)));
  const std::string units(run_unit(f.options.units, f.rec.unit));
  j.value("units", units);
  if (const auto factor = metres_per_second_squared(units)) {
    j.value("unit_m_s2", *factor);
  } else {
    j.null("unit_m_s2");
  }
  j.value("record_quantity", "acceleration");
  write_intensity_units(j, units);
}

void write_model(json_writer& j, const run_facts& f) {
  if (f.options.profile) {
    j.value("profile", *f.options.profile);
  } else {
    j.value("soil", f.options.soil);
  }
  if (f.options.water_table) j.value("water_table_m", *f.options.water_table);
  j.value("layer_rows", f.model.layers.nl);
  j.value("angle_deg", static_cast<double>(f.angle_deg));
  j.value("angle_deg_in_file", static_cast<double>(f.model.angle_deg));
  j.value("input", input_name(f.input));
  j.value("input_type_in_file", f.model.input_type);
  j.value("physics", physics_name(f.options.physics));
  j.value("analysis", analysis_name(f.options.analysis));
  // The quarter-wavelength estimate of the site's fundamental frequency,
  // 1 / (4 Σ h/Vs) over the layers above the half-space.
  double travel = 0.0;
  for (int l = 1; l < f.model.layers.nl; ++l) {
    travel += static_cast<double>(f.model.layers.thk(l)) / f.model.layers.vs(l);
  }
  if (travel > 0.0) {
    j.value("quarter_wavelength_hz", 1.0 / (4.0 * travel));
  } else {
    j.null("quarter_wavelength_hz");
  }
}

void write_processing(json_writer& j, const run_facts& f) {
  j.value("motion", motion_name(f.options.motion));
  if (f.options.filter) {
    j.begin_array("filter_hz");
    for (const float c : *f.options.filter) j.value("", static_cast<double>(c));
    j.end_array();
  } else {
    j.null("filter_hz");
  }
  j.value("transform_size", f.result.nf);
  j.value("frequency_step_hz", 1.0 / (static_cast<double>(f.result.nf) * f.result.dt));
  j.value("nyquist_hz", 0.5 / static_cast<double>(f.result.dt));
  j.value("threads", f.threads);
  j.begin_array("response_damping");
  for (const double d : f.options.damping) j.value("", d);
  j.end_array();
  j.value("response_periods", f.response_periods);
  j.value("smoothing_bandwidth", f.options.smoothing);
}

// Every option of the command line, as written, in the order of the table.
void write_given_options(json_writer& j, const arguments& given) {
  j.begin_object("options");
  for (const option_spec& s : run_option_specs()) {
    const std::optional<std::string> v = given.value(s.name);
    if (!v) continue;
    if (s.takes_value()) {
      j.value(s.name, *v);
    } else {
      j.value(s.name, true);
    }
  }
  j.end_object();
}

std::string_view outcome_name(eql::eql_outcome o) {
  switch (o) {
    case eql::eql_outcome::converged:
      return "converged";
    case eql::eql_outcome::iteration_limit:
      return "iteration limit";
    case eql::eql_outcome::stopped:
      break;
  }
  return "stopped";
}

// The settings of an equivalent-linear run and each component's iterations.
void write_eql(json_writer& j, const run_facts& f) {
  if (f.options.analysis != analysis_kind::eql || f.site == nullptr) {
    j.null("eql");
    return;
  }
  j.begin_object("eql");
  j.value("strain_ratio", strain_ratio_of(f.options));
  j.value("tolerance", f.options.tolerance);
  j.value("max_iterations", f.options.max_iterations);
  j.value("sublayer_frequency_hz", f.options.sublayer_frequency);
  j.value("sublayers", static_cast<long long>(f.site->layers.size()));
  for (const component_profile& p : f.site->components) {
    j.begin_object(component_names[p.component]);
    j.value("converged", p.outcome == eql::eql_outcome::converged);
    j.value("outcome", outcome_name(p.outcome.value_or(eql::eql_outcome::stopped)));
    j.value("iterations", p.iterations);
    j.begin_array("max_change");
    for (const eql::iteration_step& step : p.history) {
      j.begin_object();
      j.value("modulus", step.modulus_change);
      j.value("damping", step.damping_change);
      j.end_object();
    }
    j.end_array();
    j.end_object();
  }
  j.end_object();
}

}  // namespace

peaks peaks_of(const record& r, const analysis& a) {
  peaks p;
  const double none = std::numeric_limits<double>::quiet_NaN();
  for (std::size_t c = 0; c < 3; ++c) {
    p.input[c] = r.has(c) ? peak_of(r.samples[c], r.rows()) : none;
    p.surface[c] = r.has(c) ? peak_of(a.surface[c], a.surface[c].size()) : none;
  }
  return p;
}

std::string run_json(const run_facts& f) {
  json_writer j;
  j.begin_object();
  j.value("program", "sitewave");
  j.value("version", SITEWAVE_VERSION);
  write_given_options(j, f.given);
  write_record(j, f);
  write_model(j, f);
  write_processing(j, f);
  const peaks p = peaks_of(f.rec, f.result);
  j.begin_object("peaks");
  per_component(j, "input", p.input, f.rec.components);
  per_component(j, "surface", p.surface, f.rec.components);
  j.end_object();
  write_not_finite(j, f.not_finite);
  write_eql(j, f);
  j.begin_array("files");
  for (const std::string& name : f.files) j.value("", name);
  j.value("", "run.json");
  j.end_array();
  write_fingerprint(j, f.fingerprint);
  j.end_object();
  return j.text();
}

}  // namespace sitewave::cli
