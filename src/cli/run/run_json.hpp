// run.json: every input, option and value a run used, the program version,
// the peak values, the names of the files written and the fingerprint of
// the inputs.
#pragma once

#include <string>
#include <vector>

#include "cli/analysis/analysis.hpp"
#include "cli/analysis/finite_checks.hpp"
#include "cli/analysis/site_profile.hpp"
#include "cli/inputs/ground_model.hpp"
#include "cli/inputs/record.hpp"
#include "cli/io/fingerprint.hpp"
#include "cli/run/run_options.hpp"

namespace sitewave::cli {

struct run_facts {
  const arguments& given;  // the options as written
  const run_options& options;
  const record& rec;
  const ground_model& model;
  const analysis& result;
  float angle_deg;
  input_kind input;
  int threads;
  int response_periods;            // rows per damping ratio in response.csv
  std::vector<std::string> files;  // written besides run.json
  const input_fingerprint& fingerprint;
  const not_finite_results& not_finite;
  const site_results* site;  // the profile below the surface, when reported
};

// Peak absolute values of the input record and of the surface motion (as
// surface.csv gives them), per component H1, H2, V1: NaN for a component
// the record does not have or whose values are not all finite.
struct peaks {
  std::array<double, 3> input{};
  std::array<double, 3> surface{};
};
peaks peaks_of(const record& r, const analysis& a);

std::string run_json(const run_facts& facts);

}  // namespace sitewave::cli
