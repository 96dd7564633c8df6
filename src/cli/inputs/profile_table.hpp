// The ground as an engineer writes it: a CSV with one header row naming each
// column with its unit, one row per layer from the surface down, the last
// row the half-space. Read into the ground model every analysis takes, with
// what each row does under strain, and the slips worth a warning.
//
//   name, thickness_m, vs_mps, density_t_m3 | unit_weight_kn_m3,
//   [vp_mps | poisson], damping | qs,fs,qp,fp, [curve, pi, ocr, k0, cu, d50_mm]
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/inputs/curve_file.hpp"
#include "cli/inputs/ground_model.hpp"
#include "cli/inputs/soil_behaviour.hpp"

namespace sitewave::cli {

struct profile_options {
  std::optional<double> water_table;   // m below the surface; none: dry throughout
  const user_curves* curves = nullptr;  // the tables a curve column may name
};

struct ground_profile {
  ground_model model;
  std::vector<soil_behaviour> behaviour;  // one per row, the half-space last
  std::vector<std::string> warnings;      // one line each, naming file, line and column
};

// Refuses (input_error) with "FILE: line N, column NAME: value V: what is
// expected": a missing, unknown or repeated column; a row with more or
// fewer cells than the header (a decimal comma splits a cell); a value
// that is not a number or out of range; a half-space row that is not the
// last; an unknown curve or a model parameter out of its range.
ground_profile read_profile(const std::filesystem::path& path, const profile_options& options);
ground_profile parse_profile(std::string_view text, const std::string& name,
                             const profile_options& options);

// The dialogue's soil_dat.csv format with its warnings, as a profile; its
// rows have no curves.
ground_profile read_soil_file(const std::filesystem::path& path);

}  // namespace sitewave::cli
