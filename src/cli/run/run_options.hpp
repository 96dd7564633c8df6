// The options of `sitewave run`: what is analysed, how, and where the
// results go. The batch manifest's columns carry the same names.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/analysis/analysis.hpp"
#include "cli/options/arguments.hpp"

namespace sitewave::cli {

struct run_options {
  std::optional<std::string> record;              // --record
  std::optional<std::array<std::string, 3>> at2;  // --at2 H1,H2,V
  std::string soil = "soil_dat.csv";              // --soil
  std::optional<float> angle_deg;                 // --angle (overrides the file)
  std::optional<input_kind> input;                // --input (overrides the file)
  int motion = 0;                                 // --motion: 0, integrate, differentiate
  std::optional<std::array<float, 4>> filter;     // --filter F1,F2,F3,F4 in Hz
  std::optional<float> scale;                     // --scale
  std::string units;                              // --units (a label)
  std::string out = "sitewave-out";               // --out
  bool force = false;                             // --force
  physics_kind physics = physics_kind::legacy;    // --physics
  std::optional<std::string> periods;             // --periods FILE or T1,T2,...
  std::vector<double> damping{0.05};              // --damping
  double smoothing = 40.0;                        // --smoothing (Konno-Ohmachi b)
  int threads = 0;                                // --threads (0: SITEWAVE_THREADS or all cores)
  bool quiet = false;                             // --quiet
};

// The options `run` knows, for the argument reader and the batch manifest.
std::span<const option_spec> run_option_specs();

// Reads and checks the options; option_error names the first bad one.
run_options parse_run_options(const arguments& args);

// Every problem of the options, not only the first (for a batch manifest's
// one-line-per-problem report).
std::vector<option_problem> run_option_problems(const arguments& args);

std::string_view input_name(input_kind k);
std::string_view physics_name(physics_kind k);
std::string_view motion_name(int motion);

}  // namespace sitewave::cli
