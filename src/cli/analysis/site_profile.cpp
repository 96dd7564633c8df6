// The profile below the surface: the ground model's rows as layers of the
// equivalent-linear core (split into sublayers for an iteration), each
// horizontal component of the record through them, and the files that
// report the result.
#include "cli/analysis/site_profile.hpp"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "cli/analysis/result_files.hpp"
#include "cli/inputs/units.hpp"
#include "cli/io/csv_rows.hpp"
#include "cli/io/errors.hpp"
#include "core/soil/sublayers.hpp"

namespace sitewave::cli {

namespace {

// A strain far below any curve's first point: the small-strain damping of a
// curve that gives none of its own.
constexpr double small_strain = 1e-8;

exact::input_kind core_input(input_kind k) {
  switch (k) {
    case input_kind::within:
      return exact::input_kind::within;
    case input_kind::outcrop:
      return exact::input_kind::outcrop;
    case input_kind::incident:
      break;
  }
  return exact::input_kind::incident;
}

// Row l (from 1) of the ground model as a layer of the core, with its
// behaviour when it has one.
eql::soil_layer soil_layer_of(const ground_model& m, int l, const soil_behaviour* b) {
  const ground::layer_table& t = m.layers;
  eql::soil_layer s;
  s.thickness = t.thk(l);
  s.density = t.dns(l);
  s.vs = t.vs(l);
  s.vp = t.vp(l);
  s.damping = std::isfinite(t.qs(l)) ? 0.5 / static_cast<double>(t.qs(l)) : 0.0;
  if (b == nullptr) return s;
  s.below_water_table = b->below_water_table;
  if (b->damping) s.damping = *b->damping;
  if (b->curve && l < t.nl) {
    const soil::curve c = *b->curve;
    s.modulus_ratio = [c](double strain) { return c.modulus_ratio(strain); };
    s.damping_ratio = [c](double strain) { return c.damping_ratio(strain); };
    if (!b->damping) s.damping = c.damping_ratio(small_strain);
  }
  return s;
}

// The rows of the model split into sublayers no thicker than a fifth of
// their wavelength at `frequency` (0: as they are).
void split(const ground_model& m, std::span<const soil_behaviour> behaviour, double frequency,
           site_results& out) {
  const ground::layer_table& t = m.layers;
  std::vector<soil::profile_row> rows;
  for (int l = 1; l <= t.nl; ++l) {
    rows.push_back({l < t.nl ? static_cast<double>(t.thk(l)) : 0.0, t.dns(l), t.vs(l), 0.5});
  }
  std::vector<soil::sublayer> parts;
  try {
    parts.resize(static_cast<std::size_t>(soil::sublayer_count(rows, frequency)));
    soil::split_layers(rows, frequency, parts);
  } catch (const std::invalid_argument& e) {
    throw input_error("--sublayer-frequency: " + std::string(e.what()));
  }
  for (const soil::sublayer& part : parts) {
    const int l = part.layer + 1;
    const auto index = static_cast<std::size_t>(part.layer);
    const soil_behaviour* b = index < behaviour.size() ? &behaviour[index] : nullptr;
    eql::soil_layer s = soil_layer_of(m, l, b);
    s.thickness = l < t.nl ? part.bottom - part.top : 0.0;
    out.soils.push_back(std::move(s));
    out.layers.push_back({l, b ? b->name : std::string(), part.top, part.bottom});
  }
}

std::vector<double> acceleration_of(const record& rec, std::size_t c, double factor) {
  std::vector<double> a(rec.samples[c].begin(), rec.samples[c].end());
  for (double& v : a) v *= factor;
  return a;
}

eql::record_input record_input_of(std::span<const double> acceleration, const record& rec,
                                  float angle_deg, input_kind input, int transform_size) {
  eql::record_input r;
  r.acceleration = acceleration;
  r.dt = rec.rows() >= 2 ? static_cast<double>(rec.time[1] - rec.time[0]) : 0.0;
  r.transform_size = static_cast<std::size_t>(transform_size);
  r.kind = core_input(input);
  r.theta = static_cast<double>(angle_deg) * radians_per_degree;
  return r;
}

bool any_curve(std::span<const eql::soil_layer> soils) {
  for (const eql::soil_layer& s : soils) {
    if (s.modulus_ratio) return true;
  }
  return false;
}

void iterate(const run_options& o, const record& rec, float angle_deg, input_kind input,
             int transform_size, const work_control& control, site_results& out) {
  eql::eql_settings settings;
  settings.strain_ratio = strain_ratio_of(o);
  settings.tolerance = o.tolerance;
  settings.max_iterations = o.max_iterations;
  for (std::size_t c = 0; c < 2 && rec.has(c); ++c) {
    const std::vector<double> a = acceleration_of(rec, c, *out.unit_m_s2);
    const eql::eql_result r =
        eql::equivalent_linear(out.soils, record_input_of(a, rec, angle_deg, input, transform_size),
                               settings, {}, control);
    out.components.push_back({c, r.profile, r.outcome, r.iterations, r.history});
  }
  const eql::layer_profile& h1 = out.components.front().profile;
  const eql::layer_profile& h2 = out.components.back().profile;
  out.rows = component_rows{h1.rows, h2.rows, eql::vertical_rows(out.soils, h1, h2)};
}

// Rows that do not soften (no curves, and the half-space) keep the ground
// model's own values, P damping and its growth with frequency included, so
// that they are analysed exactly as a linear run analyses them.
void keep_linear_rows(const ground_model& model, site_results& out) {
  if (!out.rows) return;
  const std::vector<exact::layer_row> model_rows = exact::rows_of(model.layers);
  for (std::size_t j = 0; j < out.soils.size(); ++j) {
    if (out.soils[j].modulus_ratio && j + 1 < out.soils.size()) continue;
    exact::layer_row row = model_rows[static_cast<std::size_t>(out.layers[j].layer - 1)];
    row.thickness = out.soils[j].thickness;
    for (auto* rows : {&out.rows->h1, &out.rows->h2, &out.rows->vertical}) {
      if (j < rows->size()) (*rows)[j] = row;
    }
    for (component_profile& p : out.components) {
      if (j < p.profile.rows.size()) p.profile.rows[j] = row;
    }
  }
}

// One analysis at the small-strain properties through the model's rows as
// they stand (their damping may grow with frequency).
void linear(const run_options& o, const record& rec, const ground_model& model, float angle_deg,
            input_kind input, int transform_size, const work_control& control, site_results& out) {
  eql::eql_settings settings;
  settings.strain_ratio = strain_ratio_of(o);
  const std::vector<exact::layer_row> rows = exact::rows_of(model.layers);
  const double factor = out.unit_m_s2.value_or(1.0);
  std::vector<std::vector<double>> accelerations;
  std::vector<eql::record_input> records;
  for (std::size_t c = 0; c < 2 && rec.has(c); ++c)
    accelerations.push_back(acceleration_of(rec, c, factor));
  for (const auto& a : accelerations) {
    records.push_back(record_input_of(a, rec, angle_deg, input, transform_size));
  }
  std::vector<eql::layer_profile> profiles =
      eql::linear_responses_through(rows, records, settings, out.unit_m_s2.has_value(), control);
  for (std::size_t c = 0; c < profiles.size(); ++c) {
    component_profile p;
    p.component = c;
    p.profile = std::move(profiles[c]);
    out.components.push_back(std::move(p));
  }
}

void depth_motions(const run_options& o, const record& rec, const ground_model& model,
                   float angle_deg, input_kind input, int transform_size,
                   const work_control& control, site_results& out) {
  if (o.depths.empty()) return;
  const std::vector<exact::layer_row> model_rows = exact::rows_of(model.layers);
  for (const component_profile& p : out.components) {
    const std::vector<double> a = acceleration_of(rec, p.component, 1.0);  // the record's unit
    const auto& rows = out.rows ? p.profile.rows : model_rows;
    out.depth_motions.push_back(
        {p.component,
         eql::motions_at(rows, record_input_of(a, rec, angle_deg, input, transform_size), o.depths,
                         control)});
  }
}

std::string cell(double v, bool known) {
  if (!known) return {};
  std::string out;
  append_value(out, v);
  return out;
}

std::string single(double v) {
  std::string out;
  append_single(out, static_cast<float>(v));
  return out;
}

}  // namespace

std::optional<double> checked_unit(const run_options& o, std::string_view record_unit) {
  const std::string_view unit = o.units.empty() ? record_unit : std::string_view(o.units);
  const std::optional<double> m_s2 = metres_per_second_squared(unit);
  if (o.analysis == analysis_kind::eql && !m_s2) {
    throw option_error({"units", std::string(unit),
                        "the equivalent-linear analysis needs the record in a known unit: " +
                            std::string(known_units()) + " (give --units)",
                        false});
  }
  return m_s2;
}

bool reports_profile(const run_options& o) {
  return o.physics == physics_kind::exact;
}

site_results site_profile_of(const run_options& o, const record& rec, const ground_model& model,
                             std::span<const soil_behaviour> behaviour, float angle_deg,
                             input_kind input, int transform_size, const work_control& control) {
  site_results out;
  out.unit_m_s2 = checked_unit(o, rec.unit);
  const bool eql = o.analysis == analysis_kind::eql;
  split(model, behaviour, eql ? o.sublayer_frequency : 0.0, out);
  try {
    if (eql) {
      iterate(o, rec, angle_deg, input, transform_size, control, out);
      keep_linear_rows(model, out);
    } else {
      linear(o, rec, model, angle_deg, input, transform_size, control, out);
    }
    depth_motions(o, rec, model, angle_deg, input, transform_size, control, out);
  } catch (const std::invalid_argument& e) {
    const std::string what = e.what();
    throw input_error(ground_file(o) +
                      (what.starts_with("exact transfer")
                           ? ": the exact physics cannot take this model: "
                           : ": the equivalent-linear analysis cannot take this model: ") +
                      what);
  }
  return out;
}

bool has_curves(const site_results& s) {
  return any_curve(s.soils);
}

std::string profile_csv(const site_results& s) {
  std::string out =
      "component,layer,name,top_m,bottom_m,vs_initial_mps,vs_mps,modulus_ratio,damping,"
      "max_strain_pct,eff_strain_pct,max_stress_kpa,pga\n";
  const bool physical = s.unit_m_s2.has_value();
  const double to_record_unit = physical ? 1.0 / *s.unit_m_s2 : 1.0;
  for (const component_profile& p : s.components) {
    for (std::size_t j = 0; j < p.profile.layers.size() && j < s.layers.size(); ++j) {
      const eql::layer_result& r = p.profile.layers[j];
      const profile_layer& l = s.layers[j];
      out.append(component_names[p.component]).push_back(',');
      out.append(std::to_string(l.layer)).push_back(',');
      out.append(csv_cell(l.name)).push_back(',');
      // Depths and velocities as the ground model wrote them, in single precision.
      append_single(out, static_cast<float>(l.top));
      out.push_back(',');
      if (std::isfinite(l.bottom)) append_single(out, static_cast<float>(l.bottom));
      const bool softened = r.modulus_ratio != 1.0;
      for (const std::string& v :
           {single(s.soils[j].vs), softened ? cell(r.vs, true) : single(s.soils[j].vs),
            cell(r.modulus_ratio, true), cell(r.damping, true),
            cell(100.0 * r.max_strain, physical), cell(100.0 * r.effective_strain, physical),
            cell(r.max_stress, physical), cell(r.pga * to_record_unit, true)}) {
        out.push_back(',');
        out += v;
      }
      out.push_back('\n');
    }
  }
  return out;
}

void depth_motions_csv(const site_results& s, const record& rec, const analysis& a,
                       text_sink& sink) {
  std::string& out = sink.text;
  out += "time_s";
  for (const char* kind : {"", "outcrop_"}) {
    for (const auto& set : s.depth_motions) {
      for (const eql::depth_motion& m : set.motions) {
        std::string depth;
        append_value(depth, m.depth);
        out.append(",").append(kind).append(component_names[set.component]).append("_");
        out.append(depth).append("m");
      }
    }
  }
  out.push_back('\n');
  for (int i = 0; i < a.nf; ++i) {
    append_single(out, sample_time(rec, a, i));
    for (const bool outcrop : {false, true}) {
      for (const auto& set : s.depth_motions) {
        for (const eql::depth_motion& m : set.motions) {
          const auto& v = outcrop ? m.outcrop : m.within;
          out.push_back(',');
          append_value(out, static_cast<std::size_t>(i) < v.size() ? v[static_cast<std::size_t>(i)]
                                                                   : std::nan(""));
        }
      }
    }
    out.push_back('\n');
    sink.row_end();
  }
}

}  // namespace sitewave::cli
