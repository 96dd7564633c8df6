// What a finished case left in its results folder, as a batch reads it back:
// whether the folder is complete, the fingerprint of the inputs it came
// from, and the values the batch summary carries.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "cli/batch/summary_intensity.hpp"
#include "cli/batch/summary_spectra.hpp"

namespace sitewave::cli {

// What a case was run with, as its run.json resolves it, in the order of
// the summary's columns.
inline constexpr std::array<std::string_view, 7> summary_parameters{
    "record", "profile", "soil", "angle_deg", "input", "physics", "analysis"};

// A peak as run.json gives it: nothing for a component the record does not
// have, NaN for one that is not finite.
using recorded_peaks = std::array<std::optional<double>, 3>;

struct case_folder {
  // run.json is readable and every file it names is there.
  bool complete = false;
  std::string digest;             // of the inputs, as run.json records it
  recorded_peaks peak_input;      // H1, H2, V1
  recorded_peaks peak_surface;    // as surface.csv gives them
  summary_psa psa{};              // NaN throughout without response.csv
  summary_intensity intensity{};  // NaN throughout without intensity.csv
  std::array<std::string, summary_parameters.size()> parameters;  // "" when not recorded
  bool not_finite = false;     // run.json reports results that are not numbers
  bool not_converged = false;  // an equivalent-linear component did not converge
};

case_folder read_case_folder(const std::filesystem::path& folder);

}  // namespace sitewave::cli
