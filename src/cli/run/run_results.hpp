// One run from its options to its result files, without the folder: the
// inputs read and checked, the analysis, and every result file but run.json
// handed to a sink as soon as it is made. `sitewave run` sinks them into its
// staging folder; other callers (the Python module) into memory or a folder.
#pragma once

#include <functional>
#include <future>
#include <string>
#include <string_view>
#include <vector>

#include "cli/analysis/analysis.hpp"
#include "cli/analysis/engineering_results.hpp"
#include "cli/analysis/finite_checks.hpp"
#include "cli/analysis/site_profile.hpp"
#include "cli/inputs/ground_model.hpp"
#include "cli/inputs/profile_table.hpp"
#include "cli/inputs/record.hpp"
#include "cli/io/text_sink.hpp"
#include "cli/run/run_options.hpp"

namespace sitewave::cli {

// Makes a result file's text into a sink, piece by piece.
using file_maker = std::function<void(text_sink& out)>;
// Receives a result file by running its maker into a sink of its own (the
// pieces written to a file as they fill, or gathered in memory); called
// from several threads at once, each with its own name.
using result_sink = std::function<void(std::string_view name, const file_maker& make)>;
// Receives one warning line (without the "sitewave: warning: " prefix).
using warning_sink = std::function<void(const std::string& text)>;

struct run_inputs {
  record rec;
  ground_model model;
  std::vector<double> periods;  // of the response spectra, period 0 first
  float angle_deg = 0.0f;       // from --angle or the ground model, checked
  input_kind input = input_kind::incident;
  // What the rows of the ground model do under strain (for an
  // equivalent-linear run); none: every row stays linear.
  std::vector<soil_behaviour> behaviour;
};

// The ground model the options name (--profile or --soil), what its rows do
// under strain, and its warnings.
ground_profile read_ground(const run_options& o);

// The angle the run uses, from --angle or the ground model; input_error for
// a ground model's angle outside [0, 90) degrees when --angle is not given.
float resolved_angle(const run_options& o, const ground_model& m);

// Reads the record, the ground model and the periods the options name, and
// warns about choices that mislead (legacy physics, near-grazing incidence,
// a scale without units).
run_inputs read_run_inputs(const run_options& o, const warning_sink& warn);

// The same from a record and a ground model already in memory.
run_inputs run_inputs_of(const run_options& o, record rec, ground_model model,
                         const warning_sink& warn);

// The same from a record and a ground already read (read_ground), with its
// warnings and what its rows do under strain.
run_inputs run_inputs_of(const run_options& o, record rec, ground_profile ground,
                         const warning_sink& warn);

struct run_products {
  analysis result;
  not_finite_results not_finite;
  std::vector<std::string> files;  // the names handed to the sink, in a fixed order
  motion_spectra input_spectra, surface_spectra;
  std::optional<site_results> site;  // the profile below the surface (exact physics)
};

// Analyses the inputs and makes every result file but run.json, side by
// side when control allows more than one thread. Stops early (interrupted)
// when control's stop flag is raised.
run_products make_results(const run_options& o, const run_inputs& in, const work_control& control,
                          const result_sink& sink, const warning_sink& warn);

// The threads a run uses: --threads, else SITEWAVE_THREADS, else every core.
int threads_for(const run_options& o);

}  // namespace sitewave::cli
