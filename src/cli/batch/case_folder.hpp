// What a finished case left in its results folder, as a batch reads it back:
// whether the folder is complete, the fingerprint of the inputs it came
// from, and the values the batch summary carries.
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "cli/batch/summary_spectra.hpp"

namespace sitewave::cli {

struct case_folder {
  // run.json is readable and every file it names is there.
  bool complete = false;
  std::string digest;                    // of the inputs, as run.json records it
  std::array<double, 3> peak_input{};    // H1, H2, V1; NaN when not recorded
  std::array<double, 3> peak_surface{};  // as surface.csv gives them
  summary_psa psa{};                     // NaN throughout without response.csv
};

case_folder read_case_folder(const std::filesystem::path& folder);

}  // namespace sitewave::cli
