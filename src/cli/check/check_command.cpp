// The checks of a run's inputs and the summary an engineer reads before a
// run: each layer's depths, Vs, density, damping, curve and mean effective
// stress; Vs30 and the quarter-wavelength site period. The options are the
// run's own rows, so they read and refuse their values as a run does.
#include "cli/check/check_command.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/analysis/analysis.hpp"
#include "cli/analysis/curves_file.hpp"
#include "cli/analysis/site_profile.hpp"
#include "cli/inputs/record.hpp"
#include "cli/io/errors.hpp"
#include "cli/run/run_options.hpp"
#include "cli/run/run_results.hpp"
#include "core/soil/profile_facts.hpp"
#include "core/soil/sublayers.hpp"

namespace sitewave::cli {

namespace {

// The run's options that decide what its inputs must be: a run's command
// line checks as it is (the options that only shape results are left out).
constexpr std::string_view checked_options[] = {"record",
                                                "at2",
                                                "soil",
                                                "profile",
                                                "water-table",
                                                "curves",
                                                "scale",
                                                "units",
                                                "angle",
                                                "input",
                                                "physics",
                                                "analysis",
                                                "strain-ratio",
                                                "magnitude",
                                                "tolerance",
                                                "max-iterations",
                                                "sublayer-frequency",
                                                "fft-size",
                                                "at-depth"};

std::vector<option_row<run_options>> check_rows() {
  std::vector<option_row<run_options>> rows;
  for (const auto& row : run_option_table) {
    const auto& [option, reader] = row;
    if (std::find(std::begin(checked_options), std::end(checked_options), option.name) !=
        std::end(checked_options))
      rows.push_back(row);
  }
  return rows;
}

const std::vector<option_row<run_options>>& rows() {
  static const std::vector<option_row<run_options>> r = check_rows();
  return r;
}

void warn(const std::string& text) {
  std::fflush(stdout);
  std::fprintf(stderr, "sitewave: warning: %s\n", text.c_str());
}

std::string fixed(double v, int decimals) {
  if (std::isnan(v)) return "-";
  char text[40];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

std::vector<soil::profile_row> rows_of(const ground_profile& g) {
  const ground::layer_table& t = g.model.layers;
  std::vector<soil::profile_row> rows;
  for (int l = 1; l <= t.nl; ++l) {
    const double k0 = g.behaviour[static_cast<std::size_t>(l - 1)].k0;
    rows.push_back({l < t.nl ? static_cast<double>(t.thk(l)) : 0.0, t.dns(l), t.vs(l), k0});
  }
  return rows;
}

std::string summary(const run_options& o, const ground_profile& g) {
  const ground::layer_table& t = g.model.layers;
  const std::vector<soil::profile_row> rows = rows_of(g);
  std::vector<soil::layer_stress> stresses(rows.size() - 1);
  std::string stress_note;
  try {
    soil::layer_stresses(rows, o.water_table, stresses);
  } catch (const std::invalid_argument& e) {
    for (auto& s : stresses) s = {NAN, NAN, NAN};
    stress_note = "effective stresses not computed: " + std::string(e.what()) + "\n";
  }
  std::string s = "ground        " + ground_file(o) + ": " + std::to_string(t.nl - 1) +
                  " layers over a half-space, " +
                  (o.water_table ? "water table at " + fixed(*o.water_table, 2) + " m"
                                 : std::string("dry (no water table)")) +
                  "\n";
  char line[256];
  std::snprintf(line, sizeof line, "%4s  %-14s %8s %8s %8s %8s %8s %9s %9s  %s\n", "row", "name",
                "top_m", "bottom_m", "vs_mps", "density", "damping", "s'v_kpa", "s'm_kpa", "curve");
  s += line;
  double top = 0.0;
  for (int l = 1; l <= t.nl; ++l) {
    const auto k = static_cast<std::size_t>(l - 1);
    const soil_behaviour& b = g.behaviour[k];
    const bool half_space = l == t.nl;
    const double bottom = half_space ? NAN : top + static_cast<double>(t.thk(l));
    const double damping = b.damping ? *b.damping : 0.5 / static_cast<double>(t.qs(l));
    const std::string name = b.name.empty() ? (half_space ? "(half-space)" : "") : b.name;
    std::snprintf(line, sizeof line, "%4d  %-14s %8s %8s %8s %8s %8s %9s %9s  %s\n", l,
                  name.substr(0, 14).c_str(), fixed(top, 2).c_str(), fixed(bottom, 2).c_str(),
                  fixed(t.vs(l), 1).c_str(), fixed(t.dns(l), 3).c_str(), fixed(damping, 4).c_str(),
                  half_space ? "-" : fixed(stresses[k].vertical, 1).c_str(),
                  half_space ? "-" : fixed(stresses[k].mean, 1).c_str(),
                  b.curve_label.empty() ? "-" : b.curve_label.c_str());
    s += line;
    if (!half_space) top = bottom;
  }
  s += stress_note;
  s += "Vs30          " + fixed(soil::vs30(rows), 1) + " m/s\n";
  s += "site period   " + fixed(soil::site_period(rows), 3) + " s (4·Σh/Vs over " + fixed(top, 2) +
       " m of soil)\n";
  if (!g.model.vertical) s += "vertical      not computed (no vp_mps or poisson column)\n";
  return s;
}

// What an equivalent-linear run would iterate on: its sublayers and how
// many of them follow curves; a refusal for a sublayer frequency the
// profile cannot take, as a run gives.
std::string eql_summary(const run_options& o, const ground_profile& g) {
  if (o.analysis != analysis_kind::eql) return {};
  if (!o.units.empty()) checked_unit(o, {});
  const std::vector<soil::profile_row> rows = rows_of(g);
  int parts = 0;
  try {
    parts = soil::sublayer_count(rows, o.sublayer_frequency);
  } catch (const std::invalid_argument& e) {
    throw input_error("--sublayer-frequency: " + std::string(e.what()));
  }
  if (!uses_curves(g.behaviour)) {
    warn("equivalent-linear: no layer of " + ground_file(o) +
         " has a curve, so the analysis is linear");
  }
  std::string s = "analysis      equivalent-linear, " + std::to_string(parts - 1) +
                  " sublayers over the half-space";
  if (o.sublayer_frequency > 0.0) s += " (a fifth of Vs/" + fixed(o.sublayer_frequency, 1) + " Hz)";
  return s + "\n";
}

std::string record_summary(const run_options& o) {
  std::vector<std::filesystem::path> at2;
  if (o.at2) at2.assign(o.at2->begin(), o.at2->end());
  record r = o.record ? read_csv_record(*o.record) : read_at2_record(at2);
  if (o.scale) scale_record(r, *o.scale);
  check_record_fits(r.rows(), r.paths.front());
  const int transform = transform_size(r, o.fft_size);
  checked_unit(o, r.unit);
  std::string s = "record        ";
  for (std::size_t i = 0; i < r.paths.size(); ++i) {
    if (i > 0) s += ", ";
    s += r.paths[i];
  }
  s += ": " + std::to_string(r.rows()) + " rows";
  if (r.rows() >= 2) s += ", dt " + fixed(static_cast<double>(r.time[1] - r.time[0]), 4) + " s";
  s += ", transform size " + std::to_string(transform);
  s += ", components";
  for (std::size_t c = 0; c < r.components; ++c) {
    s += ' ';
    s += component_names[c];
  }
  const std::string unit = o.units.empty() ? r.unit : o.units;
  return s + (unit.empty() ? "" : ", unit " + unit) + "\n";
}

}  // namespace

std::span<const option_spec> check_option_specs() {
  static const std::vector<option_spec> specs =
      specs_of<run_options>(std::span<const option_row<run_options>>(rows()));
  return specs;
}

int check_command(std::span<const std::string_view> words) {
  const arguments args(words, check_option_specs(), "sitewave check");
  if (!args.positional().empty())
    throw usage_error("check takes no word " + args.positional().front() +
                      " without an option (see sitewave check --help)");
  run_options o;
  const auto problems =
      read_each_option<run_options>(args, std::span<const option_row<run_options>>(rows()), o);
  if (!problems.empty()) throw option_error(problems.front());
  if (o.profile && args.value("soil"))
    throw option_error({"profile", *o.profile, "give either --soil or --profile, not both"});
  if (o.record && o.at2)
    throw option_error(
        {"at2", args.value("at2").value_or(""), "give either --record or --at2, not both"});
  if (o.curves && !o.profile)
    throw option_error(
        {"curves", *o.curves, "curves are named by a profile's curve column: give --profile"});
  if (const auto analysis = analysis_problems(args, o); !analysis.empty())
    throw option_error(analysis.front());
  const ground_profile g = read_ground(o);
  resolved_angle(o, g.model);
  const std::string record = o.record || o.at2 ? record_summary(o) : std::string();
  for (const std::string& w : g.warnings) warn(w);
  const std::string eql = eql_summary(o, g);
  std::cout << summary(o, g) << eql << record << "ok\n" << std::flush;
  return exit_ok;
}

}  // namespace sitewave::cli
