// `sitewave run`: reads the record and the ground model, analyses them,
// writes every result into a staged folder and puts it in place only when
// all went well; then a short summary on the console.
#include "cli/run/run_command.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <iostream>
#include <sstream>
#include <utility>
#include <vector>

#include "cli/analysis/analysis.hpp"
#include "cli/analysis/engineering_results.hpp"
#include "cli/analysis/finite_checks.hpp"
#include "cli/analysis/result_files.hpp"
#include "cli/inputs/ground_model.hpp"
#include "cli/inputs/record.hpp"
#include "cli/io/errors.hpp"
#include "cli/io/fingerprint.hpp"
#include "cli/io/interrupts.hpp"
#include "cli/io/results_folder.hpp"
#include "cli/run/run_json.hpp"
#include "cli/run/run_options.hpp"
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

int threads_for(const run_options& o) {
  return o.threads > 0 ? o.threads : thread_count(std::getenv("SITEWAVE_THREADS"));
}

input_kind input_of(const run_options& o, const ground_model& m) {
  if (o.input) return *o.input;
  return m.input_type == 2 ? input_kind::within : input_kind::incident;
}

analysis_settings settings_for(const run_options& o, float angle_deg, input_kind input,
                               int threads) {
  analysis_settings s;
  s.options = o;
  s.angle_deg = angle_deg;
  s.input = input;
  s.control = work_control{threads, &interrupt_flag()};
  return s;
}

void warn(const std::string& text) {
  std::fflush(stdout);
  std::fprintf(stderr, "sitewave: warning: %s\n", text.c_str());
}

// The angle the run uses, from --angle or the ground model, checked once in
// degrees as it is stored.
float resolved_angle(const run_options& o, const ground_model& m) {
  const float angle = o.angle_deg.value_or(m.angle_deg);
  if (!o.angle_deg && !(angle >= 0.0f && angle < 90.0f)) {
    throw input_error(o.soil + ": incident wave angle " + std::to_string(angle) +
                      ": an angle from 0 up to (not including) 90 degrees is expected (or give "
                      "--angle)");
  }
  return angle;
}

// What a user should know before reading the results.
void warn_about_choices(const run_options& o, const record& r, float angle_deg) {
  if (o.physics == physics_kind::legacy) {
    warn(
        "--physics legacy: the dialogue's tables; its vertical is not the response to any "
        "wave, and its SH misses the oblique impedance at an angle; --physics exact gives both");
  }
  if (angle_deg > 80.0f) {
    warn("incidence at " + std::to_string(static_cast<int>(angle_deg)) +
         " degrees, near grazing: the reference motion of the half-space vanishes there and the "
         "amplification grows without bound; below 80 degrees is the usual range");
  }
  if (o.scale && *o.scale != 1.0f && o.units.empty()) {
    warn("--scale without --units: the results keep the record's unit (" +
         (r.unit.empty() ? std::string("not stated") : r.unit) +
         "); give --units for the scaled record's unit");
  }
}

void warn_about_not_finite(const not_finite_results& n) {
  if (n.any()) warn("results not finite: " + n.what() + ": " + n.cause);
}

void warn_about_filter(const run_options& o, const analysis& a) {
  if (!o.filter) return;
  const double nyquist = 0.5 / static_cast<double>(a.dt);
  for (const float corner : *o.filter) {
    if (corner > nyquist) {
      std::fprintf(stderr,
                   "sitewave: warning: filter corner %g Hz lies above the Nyquist frequency %g Hz "
                   "of the record; that part of the trapezoid is not used\n",
                   static_cast<double>(corner), nyquist);
      return;
    }
  }
}

// spectra.csv: the raw amplitudes and their smoothing, computed once each.
std::string spectra(const analysis& a, double bandwidth) {
  const auto raw = fourier_amplitudes(a);
  return spectra_csv(a, raw, smoothed_spectra(a, raw, bandwidth));
}

// Tasks run side by side when the run may use more than one thread, else in
// turn (a batch runs its cases on one thread each, side by side).
std::launch side_by_side(const work_control& control) {
  return control.threads > 1 ? std::launch::async : std::launch::deferred;
}

// Writes one result file of the run, unless an interrupt came first, and
// returns its name.
std::string write_result(results_folder& folder, std::string_view name,
                         const std::string& content) {
  check_interrupt();
  folder.write(name, content);
  return std::string(name);
}

// Makes and writes the results side by side, each file as soon as it is
// made: the response spectra of the surface motion (the longest part, itself
// shared among threads), the clean files and the dialogue's files, each group
// in a task of its own. Returns the names in a fixed order.
std::vector<std::string> write_results(const run_options& o, const record& r, const analysis& a,
                                       std::span<const double> periods,
                                       std::future<motion_spectra>& input_spectra,
                                       const work_control& control, results_folder& folder) {
  using names = std::vector<std::string>;
  const std::launch policy = side_by_side(control);
  auto response = std::async(policy, [&] {
    const motion_spectra surface = surface_spectra(a, periods, o.damping, control);
    return names{write_result(folder, "response.csv",
                              response_csv(periods, o.damping, input_spectra.get(), surface))};
  });
  auto clean = std::async(policy, [&] {
    names written{write_result(folder, "transfer.csv", transfer_csv(a))};
    written.push_back(write_result(folder, "spectra.csv", spectra(a, o.smoothing)));
    written.push_back(write_result(folder, "surface.csv", surface_csv(a, r)));
    return written;
  });
  names written{write_result(folder, textfmt::amp_factors_file, amp_factors_csv(a))};
  if (r.complete()) {  // the dialogue's files hold all three components
    written.push_back(write_result(folder, textfmt::spectrum_file, spectrum_csv(a, r)));
    written.push_back(write_result(folder, textfmt::wave_file, wave_csv(a, r)));
  }
  for (auto* task : {&clean, &response}) {
    for (auto& name : task->get()) written.push_back(std::move(name));
  }
  return written;
}

std::string shown_peak(double v) {
  if (std::isnan(v)) return "nan";
  std::ostringstream s;
  s << v;
  return s.str();
}

void print_summary(const run_facts& f, const results_folder& folder) {
  const peaks p = peaks_of(f.rec, f.result);
  std::ostringstream s;
  s << "record   ";
  for (std::size_t i = 0; i < f.rec.paths.size(); ++i) s << (i ? ", " : "") << f.rec.paths[i];
  s << ": " << f.rec.rows() << " rows, dt " << f.result.dt << " s, transform size " << f.result.nf;
  if (!f.rec.complete()) {
    s << "; " << (f.rec.components == 1 ? "H1 only (no H2, no V1)" : "H1 and H2 (no V1)");
  }
  s << "\nmodel    " << f.options.soil << ": " << f.model.layers.nl - 1
    << " layers over a half-space, angle " << f.angle_deg << " deg, input " << input_name(f.input)
    << ", physics " << physics_name(f.options.physics) << "\n";
  const auto peaks_line = [&](const char* label, const std::array<double, 3>& v) {
    s << label;
    for (std::size_t c = 0; c < f.rec.components; ++c) {
      s << (c ? "  " : "") << component_names[c] << " " << shown_peak(v[c]);
    }
    s << "\n";
  };
  peaks_line("peaks    input    ", p.input);
  peaks_line("         surface  ", p.surface);
  s << "results  " << folder.target().string() << "\n";
  std::cout << s.str() << std::flush;
}

}  // namespace

int run_command(std::span<const std::string_view> words) {
  const arguments args(words, run_option_specs(), "sitewave run");
  const run_options o = parse_run_options(args);
  input_files known;  // taken before reading: an input edited meanwhile then shows as changed
  const input_fingerprint fingerprint = fingerprint_of(args, known);
  std::vector<std::filesystem::path> inputs;
  for (const input_file& f : fingerprint.files) inputs.push_back(f.path);
  results_folder folder(o.out, o.force, inputs);

  const record r = read_record(o);
  const ground_model model = read_ground_model(o.soil);
  const std::vector<double> periods = response_periods(o.periods);
  const int response_rows = static_cast<int>(periods.size());
  check_interrupt();

  const float angle_deg = resolved_angle(o, model);
  warn_about_choices(o, r, angle_deg);
  const input_kind input = input_of(o, model);
  const int threads = threads_for(o);
  const analysis_settings settings = settings_for(o, angle_deg, input, threads);
  // The record's own response spectra need no analysis: they run beside it.
  std::future<motion_spectra> input_spectra = std::async(side_by_side(settings.control), [&] {
    return record_spectra(r, periods, o.damping, settings.control);
  });
  const analysis a = analyse(r, model, settings);
  check_interrupt();
  warn_about_filter(o, a);
  const not_finite_results not_finite = find_not_finite(a, o.physics);
  warn_about_not_finite(not_finite);
  const std::vector<std::string> written =
      write_results(o, r, a, periods, input_spectra, settings.control, folder);
  check_interrupt();
  run_facts facts{args,          o,       r,           model,     a, angle_deg, input, threads,
                  response_rows, written, fingerprint, not_finite};
  folder.write("run.json", run_json(facts));
  check_interrupt();
  folder.commit();
  if (!o.quiet) print_summary(facts, folder);
  return exit_ok;
}

}  // namespace sitewave::cli
