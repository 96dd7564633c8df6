// From the options to the result files: reading the inputs, the analysis,
// the engineering results and the contents of every file, made side by side.
#include "cli/run/run_results.hpp"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <utility>

#include "cli/analysis/curves_file.hpp"
#include "cli/analysis/intensity_file.hpp"
#include "cli/analysis/result_files.hpp"
#include "cli/analysis/spectra_cache.hpp"
#include "cli/inputs/profile_table.hpp"
#include "cli/inputs/units.hpp"
#include "cli/io/decimal_text.hpp"
#include "cli/io/errors.hpp"
#include "cli/io/interrupts.hpp"
#include "textfmt/result_rows.hpp"

namespace sitewave::cli {

namespace {

record read_record(const run_options& o) {
  std::vector<std::filesystem::path> at2;
  if (o.at2) at2.assign(o.at2->begin(), o.at2->end());
  record r = o.record ? read_csv_record(*o.record) : read_at2_record(at2);
  if (o.scale) scale_record(r, *o.scale);
  return r;
}

input_kind input_of(const run_options& o, const ground_model& m) {
  if (o.input) return *o.input;
  return m.input_type == 2 ? input_kind::within : input_kind::incident;
}

// What a user should know before reading the results.
void warn_about_choices(const run_options& o, const record& r, float angle_deg,
                        const warning_sink& warn) {
  if (o.physics == physics_kind::legacy) {
    warn(
        "--physics legacy: the dialogue's tables; its vertical is not the response to any "
        "wave, and its SH misses the oblique impedance at an angle; --physics exact gives both");
  }
  if (angle_deg > 80.0f) {
    std::array<char, max_decimal_text> angle{};
    char* end = single_text(angle_deg, angle.data());
    warn("incidence at " + std::string(angle.data(), end) +
         " degrees, near grazing: the reference motion of the half-space vanishes there and the "
         "amplification grows without bound; below 80 degrees is the usual range");
  }
  if (o.scale && *o.scale != 1.0f && o.units.empty()) {
    warn("--scale without --units: the results keep the record's unit (" +
         (r.unit.empty() ? std::string("not stated") : r.unit) +
         "); give --units for the scaled record's unit");
  }
}

void warn_about_filter(const run_options& o, const analysis& a, const warning_sink& warn) {
  if (!o.filter) return;
  const double nyquist = 0.5 / static_cast<double>(a.dt);
  for (const float corner : *o.filter) {
    if (corner > nyquist) {
      char text[160];
      std::snprintf(text, sizeof text,
                    "filter corner %g Hz lies above the Nyquist frequency %g Hz of the record; "
                    "that part of the trapezoid is not used",
                    static_cast<double>(corner), nyquist);
      warn(text);
      return;
    }
  }
}

// spectra.csv: the smoothed amplitudes computed once, the raw ones as rows are written.
void spectra(const analysis& a, double bandwidth, text_sink& out) {
  spectra_csv(a, smoothed_spectra(a, fourier_amplitudes(a), bandwidth), out);
}

// Tasks run side by side when the run may use more than one thread, else in
// turn (a batch runs its cases on one thread each, side by side).
std::launch side_by_side(const work_control& control) {
  return control.threads > 1 ? std::launch::async : std::launch::deferred;
}

// Hands one result file to the sink, unless a stop came first, and returns
// its name.
std::string hand_over(const result_sink& sink, const work_control& control, std::string_view name,
                      const file_maker& make) {
  if (control.stop_requested()) check_interrupt();
  sink(name, make);
  return std::string(name);
}

std::string percent(double fraction) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3g %%", 100.0 * fraction);
  return text;
}

void warn_about_iterations(const site_results& site, const warning_sink& warn) {
  for (const component_profile& p : site.components) {
    if (p.outcome != eql::eql_outcome::iteration_limit || p.history.empty()) continue;
    warn("equivalent-linear: " + std::string(component_names[p.component]) +
         " did not converge in " + std::to_string(p.iterations) + " iterations (last change of G " +
         percent(p.history.back().modulus_change) + ", of D " +
         percent(p.history.back().damping_change) +
         "); the results are those of the last iteration: raise --max-iterations, ease "
         "--tolerance, or check the curves and sublayers");
  }
}

// The spectra of the motions at depth, each as a location of response.csv.
std::vector<std::pair<std::string, motion_spectra>> depth_spectra(const run_options& o,
                                                                  const run_inputs& in,
                                                                  const site_results& site,
                                                                  const work_control& control) {
  std::vector<std::pair<std::string, motion_spectra>> out;
  const double dt = in.rec.rows() >= 2 ? static_cast<double>(in.rec.time[1] - in.rec.time[0]) : 0;
  for (std::size_t k = 0; k < o.depths.size(); ++k) {
    for (const bool outcrop : {false, true}) {
      std::array<std::vector<double>, 3> series;
      for (const auto& set : site.depth_motions) {
        if (k < set.motions.size()) {
          series[set.component] = outcrop ? set.motions[k].outcrop : set.motions[k].within;
        }
      }
      std::string name = outcrop ? "outcrop_" : "within_";
      append_value(name, o.depths[k]);
      out.emplace_back(name + "m", spectra_of(series, dt, in.periods, o.damping, control));
    }
  }
  return out;
}

}  // namespace

// Checked once in degrees as it is stored.
float resolved_angle(const run_options& o, const ground_model& m) {
  const float angle = o.angle_deg.value_or(m.angle_deg);
  if (!o.angle_deg && !(angle >= 0.0f && angle < 90.0f)) {
    char shown[32];
    std::snprintf(shown, sizeof shown, "%g", static_cast<double>(angle));
    throw input_error(ground_file(o) + ": incident wave angle " + shown +
                      ": an angle from 0 up to (not including) 90 degrees is expected (or give "
                      "--angle)");
  }
  return angle;
}

int threads_for(const run_options& o) {
  return o.threads > 0 ? o.threads : thread_count(std::getenv("SITEWAVE_THREADS"));
}

run_inputs run_inputs_of(const run_options& o, record rec, ground_model model,
                         const warning_sink& warn) {
  run_inputs in{std::move(rec), std::move(model),     response_periods(o.periods),
                0.0f,           input_kind::incident, {}};
  in.angle_deg = resolved_angle(o, in.model);
  in.input = input_of(o, in.model);
  warn_about_choices(o, in.rec, in.angle_deg, warn);
  return in;
}

ground_profile read_ground(const run_options& o) {
  if (!o.profile) {
    ground_profile p = read_soil_file(o.soil);
    if (o.water_table) {  // no curves to take stresses, but the rows below the water
      double top = 0.0;   // table keep their Vp in an equivalent-linear run
      const ground::layer_table& t = p.model.layers;
      for (int l = 1; l < t.nl; ++l) {
        p.behaviour[static_cast<std::size_t>(l - 1)].below_water_table =
            top + 0.5 * static_cast<double>(t.thk(l)) > *o.water_table;
        top += static_cast<double>(t.thk(l));
      }
    }
    return p;
  }
  std::optional<user_curves> curves;
  if (o.curves) curves = read_user_curves(*o.curves);
  return read_profile(*o.profile, {o.water_table, curves ? &*curves : nullptr});
}

run_inputs read_run_inputs(const run_options& o, const warning_sink& warn) {
  record rec = read_record(o);
  ground_profile ground = read_ground(o);
  check_interrupt();
  return run_inputs_of(o, std::move(rec), std::move(ground), warn);
}

run_inputs run_inputs_of(const run_options& o, record rec, ground_profile ground,
                         const warning_sink& warn) {
  for (const std::string& w : ground.warnings) warn(w);
  if (!ground.model.vertical && rec.has(2)) {
    rec.components = 2;
    rec.samples[2].clear();
    warn(ground_file(o) +
         ": no vp_mps or poisson column, so the vertical component is not computed: V1 is left "
         "out of the results, with the P-SV columns of transfer.csv and the dialogue's files");
  }
  run_inputs in = run_inputs_of(o, std::move(rec), std::move(ground.model), warn);
  in.behaviour = std::move(ground.behaviour);
  return in;
}

run_products make_results(const run_options& o, const run_inputs& in, const work_control& control,
                          const result_sink& sink, const warning_sink& warn) {
  analysis_settings settings;
  settings.options = o;
  settings.angle_deg = in.angle_deg;
  settings.input = in.input;
  settings.control = control;
  const std::launch policy = side_by_side(control);
  // The record's own response spectra need no analysis: they run beside it.
  // (Deferred, so never made, when response.csv is left out.)
  std::future<motion_spectra> input_spectra =
      std::async(wants(o, "response") ? policy : std::launch::deferred, [&] {
        const auto make = [&] { return record_spectra(in.rec, in.periods, o.damping, control); };
        if (!o.cache) return make();
        return cached_record_spectra(*o.cache, in.rec, in.periods, o.damping, make);
      });
  run_products p;
  const bool profile = wants(o, "profile") || (wants(o, "depth_motions") && !o.depths.empty());
  if (reports_profile(o) && in.rec.has(0) && (profile || o.analysis == analysis_kind::eql)) {
    p.site = site_profile_of(o, in.rec, in.model, in.behaviour, in.angle_deg, in.input,
                             transform_size(in.rec, o.fft_size), control);
    if (control.stop_requested()) check_interrupt();
    if (o.analysis == analysis_kind::eql) {
      settings.rows = p.site->rows;
      if (!has_curves(*p.site)) {
        warn("equivalent-linear: no layer of " + ground_file(o) +
             " has a curve, so the analysis is linear");
      }
      warn_about_iterations(*p.site, warn);
    }
  }
  p.result = analyse(in.rec, in.model, settings);
  if (control.stop_requested()) check_interrupt();
  const analysis& a = p.result;
  warn_about_filter(o, a, warn);
  p.not_finite = find_not_finite(a, o.physics);
  if (p.not_finite.any())
    warn("results not finite: " + p.not_finite.what() + ": " + p.not_finite.cause);

  // The response spectra of the surface motion (the longest part, itself
  // shared among threads), the clean files and the dialogue's files, each
  // group in a task of its own; the names come back in a fixed order.
  using names = std::vector<std::string>;
  const auto when = [&o](std::string_view output) { return wants(o, output); };
  auto response = std::async(policy, [&] {
    names made;
    if (when("response")) {
      p.input_spectra = input_spectra.get();
      p.surface_spectra = surface_spectra(a, in.periods, o.damping, control);
      std::vector<response_location> places{{"surface", &p.surface_spectra, true}};
      const auto at_depth = p.site ? depth_spectra(o, in, *p.site, control)
                                   : std::vector<std::pair<std::string, motion_spectra>>{};
      for (const auto& [name, spectra] : at_depth) places.push_back({name, &spectra, false});
      made.push_back(hand_over(sink, control, "response.csv", [&](text_sink& out) {
        out.text = response_csv(in.periods, o.damping, p.input_spectra, places);
      }));
    }
    if (p.site && when("profile")) {
      made.push_back(hand_over(sink, control, "profile.csv",
                               [&](text_sink& out) { out.text = profile_csv(*p.site); }));
    }
    if (p.site && !o.depths.empty() && when("depth_motions")) {
      made.push_back(hand_over(sink, control, "depth_motions.csv", [&](text_sink& out) {
        depth_motions_csv(*p.site, in.rec, a, out);
      }));
    }
    return made;
  });
  auto clean = std::async(policy, [&] {
    names made;
    if (when("transfer")) {
      made.push_back(hand_over(sink, control, "transfer.csv",
                               [&](text_sink& out) { transfer_csv(a, out); }));
    }
    if (when("spectra")) {
      made.push_back(hand_over(sink, control, "spectra.csv",
                               [&](text_sink& out) { spectra(a, o.smoothing, out); }));
    }
    if (when("surface")) {
      made.push_back(hand_over(sink, control, "surface.csv",
                               [&](text_sink& out) { surface_csv(a, in.rec, out); }));
    }
    if (when("intensity")) {
      made.push_back(hand_over(sink, control, "intensity.csv", [&](text_sink& out) {
        out.text =
            intensity_csv(a, in.rec, metres_per_second_squared(run_unit(o.units, in.rec.unit)));
      }));
    }
    if (when("curves") && uses_curves(in.behaviour)) {
      made.push_back(hand_over(sink, control, "curves.csv",
                               [&](text_sink& out) { out.text = curves_csv(in.behaviour); }));
    }
    return made;
  });
  if (when("dialogue") && in.model.vertical) {
    p.files.push_back(hand_over(sink, control, textfmt::amp_factors_file,
                                [&](text_sink& out) { amp_factors_csv(a, out); }));
    if (in.rec.complete()) {  // the dialogue's files hold all three components
      p.files.push_back(hand_over(sink, control, textfmt::spectrum_file,
                                  [&](text_sink& out) { spectrum_csv(a, in.rec, out); }));
      p.files.push_back(hand_over(sink, control, textfmt::wave_file,
                                  [&](text_sink& out) { wave_csv(a, in.rec, out); }));
    }
  }
  for (auto* task : {&clean, &response}) {
    for (auto& name : task->get()) p.files.push_back(std::move(name));
  }
  return p;
}

}  // namespace sitewave::cli
