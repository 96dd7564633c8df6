// The options of `sitewave run`, each declared once in the table below: what
// is analysed, how, and where the results go. The batch manifest's columns,
// the help, the fingerprint and run.json read the same table. Malformed
// values are usage errors; well-formed values that cannot give a sound
// analysis (filter corners out of order, an angle of 90 degrees) are refusals.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/options/arguments.hpp"
#include "cli/options/option_table.hpp"

namespace sitewave::cli {

// What the record is referred to: the incident wave in the half-space, the
// total motion at its top (a borehole record), or the motion the incident
// wave gives at a free surface of the half-space (an outcrop record).
enum class input_kind { incident, within, outcrop };
enum class physics_kind { legacy, exact };
// What is done to the surface motion before it is written.
enum class motion_kind { none, integrate, differentiate };
// A linear analysis at the small-strain properties, or the equivalent-linear
// iteration to strain-compatible moduli and damping.
enum class analysis_kind { linear, eql };

struct run_options {
  std::optional<std::string> record;               // --record
  std::optional<std::vector<std::string>> at2;     // --at2 H1[,H2[,V]]
  std::string soil = "soil_dat.csv";               // --soil
  std::optional<std::string> profile;              // --profile (the headed layer table)
  std::optional<double> water_table;               // --water-table, m below the surface
  std::optional<std::string> curves;               // --curves: user tables of soil curves
  std::optional<float> angle_deg;                  // --angle (overrides the file)
  std::optional<input_kind> input;                 // --input (overrides the file)
  motion_kind motion = motion_kind::none;          // --motion
  std::optional<std::array<float, 4>> filter;      // --filter F1,F2,F3,F4 in Hz
  std::optional<float> scale;                      // --scale
  std::string units;                               // --units (a label)
  std::string out = "sitewave-out";                // --out
  bool force = false;                              // --force
  physics_kind physics = physics_kind::exact;      // --physics
  std::optional<std::string> periods;              // --periods FILE or T1,T2,...
  std::vector<double> damping{0.05};               // --damping
  double smoothing = 40.0;                         // --smoothing (Konno-Ohmachi b)
  int threads = 0;                                 // --threads (0: SITEWAVE_THREADS or all cores)
  bool quiet = false;                              // --quiet
  analysis_kind analysis = analysis_kind::linear;  // --analysis
  std::optional<double> strain_ratio;              // --strain-ratio (default 0.65)
  std::optional<double> magnitude;                 // --magnitude: strain ratio (M - 1)/10
  double tolerance = 0.01;                         // --tolerance
  int max_iterations = 15;                         // --max-iterations
  double sublayer_frequency = 20.0;                // --sublayer-frequency, Hz (0: no sublayers)
  std::optional<long long> fft_size;               // --fft-size
  std::vector<double> depths;                      // --at-depth, m
  std::vector<std::string> outputs;                // --outputs (empty: every result file)
  std::optional<std::string> cache;                // --cache: a folder of reusable results
};

namespace run_option_readers {

inline void angle(run_options& o, std::string_view v) {
  const double angle = number_value("angle", v);
  // Checked as it is stored: 89.99999999999 rounds to 90 in single precision.
  if (angle < 0.0 || !(static_cast<float>(angle) < 90.0f)) {
    refuse_value("angle", v,
                 "an incidence angle from 0 up to (not including) 90 degrees is expected", false);
  }
  o.angle_deg = static_cast<float>(angle);
}

inline void filter(run_options& o, std::string_view v) {
  const std::vector<double> f = number_list("filter", v);
  if (f.size() != 4)
    refuse_value("filter", v, "four corner frequencies F1,F2,F3,F4 in Hz are expected");
  if (!(0.0 <= f[0] && f[0] <= f[1] && f[1] <= f[2] && f[2] <= f[3] && f[0] < f[3])) {
    refuse_value("filter", v, "corners with 0 <= F1 <= F2 <= F3 <= F4 and F1 < F4 are expected",
                 false);
  }
  o.filter = std::array<float, 4>{static_cast<float>(f[0]), static_cast<float>(f[1]),
                                  static_cast<float>(f[2]), static_cast<float>(f[3])};
}

inline void scale(run_options& o, std::string_view v) {
  const double s = number_value("scale", v);
  if (s == 0.0) refuse_value("scale", v, "a non-zero factor is expected", false);
  if (!std::isfinite(static_cast<float>(s))) {
    refuse_value("scale", v,
                 "a factor within single precision (magnitude below 3.4e38) is expected", false);
  }
  o.scale = static_cast<float>(s);
}

inline void damping(run_options& o, std::string_view v) {
  o.damping = number_list("damping", v);
  for (const double d : o.damping) {
    if (d < 0.0 || d >= 1.0) {
      refuse_value("damping", v, "damping ratios from 0 up to 1 are expected", false);
    }
  }
}

inline void smoothing(run_options& o, std::string_view v) {
  o.smoothing = number_value("smoothing", v);
  if (o.smoothing <= 0.0) refuse_value("smoothing", v, "a positive bandwidth b is expected", false);
}

// A positive value below `most`, or a refusal naming the option.
inline double bounded(std::string_view option, std::string_view v, double least, double most,
                      const char* expected) {
  const double x = number_value(option, v);
  if (!(x > least && x <= most)) refuse_value(option, v, expected, false);
  return x;
}

inline void max_iterations(run_options& o, std::string_view v) {
  const double n = number_value("max-iterations", v);
  if (n < 1 || n > 1000 || n != std::floor(n)) {
    refuse_value("max-iterations", v, "a whole number of analyses from 1 to 1000 is expected");
  }
  o.max_iterations = static_cast<int>(n);
}

inline void fft_size(run_options& o, std::string_view v) {
  const double n = number_value("fft-size", v);
  if (!(n >= 4 && n <= 1073741824.0) || n != std::floor(n) ||
      (static_cast<long long>(n) & (static_cast<long long>(n) - 1)) != 0) {
    refuse_value("fft-size", v, "a power of two from 4 up to 2^30 is expected");
  }
  o.fft_size = static_cast<long long>(n);
}

inline void depths(run_options& o, std::string_view v) {
  o.depths = number_list("at-depth", v);
  for (const double d : o.depths) {
    if (d < 0.0)
      refuse_value("at-depth", v, "depths of 0 m or more below the surface are expected", false);
  }
}

// The names --outputs takes, each standing for one result file or, for
// "dialogue", the dialogue's three.
inline constexpr std::string_view output_names[] = {"dialogue", "transfer",      "spectra",
                                                    "surface",  "response",      "intensity",
                                                    "profile",  "depth_motions", "curves"};

inline void outputs(run_options& o, std::string_view v) {
  o.outputs = text_list(v);
  for (const std::string& name : o.outputs) {
    if (std::find(std::begin(output_names), std::end(output_names), name) ==
        std::end(output_names)) {
      refuse_value("outputs", v,
                   "names among dialogue, transfer, spectra, surface, response, intensity, "
                   "profile, depth_motions, curves separated by commas are expected");
    }
  }
}

inline void threads(run_options& o, std::string_view v) {
  const double n = number_value("threads", v);
  if (n < 1 || n != std::floor(n) || n > 1024) {
    refuse_value("threads", v, "a whole number from 1 is expected");
  }
  o.threads = static_cast<int>(n);
}

}  // namespace run_option_readers

// clang-format off
inline constexpr option_row<run_options> run_option_table[] = {
    {{"record", "PATH", "record: a title line, then rows of time and H1 (and H2, and V1)"},
     [](run_options& o, std::string_view v) { o.record = std::string(v); }},
    {{"at2", "H1[,H2[,V]]", "or one to three .AT2 strong-motion files (samples in g), one per component"},
     [](run_options& o, std::string_view v) {
       o.at2 = text_list(v);
       if (o.at2->size() > 3 || std::find(o.at2->begin(), o.at2->end(), "") != o.at2->end()) {
         refuse_value("at2", v, "one to three files H1[,H2[,V]] separated by commas are expected");
       }
     }},
    {{"soil", "PATH", "ground model file (default soil_dat.csv), the dialogue's format"},
     [](run_options& o, std::string_view v) { o.soil = std::string(v); }},
    {{"profile", "PATH", "or the ground as a headed table: thickness_m, vs_mps, density_t_m3,\n"
                         "damping, curve, ... (docs/file-formats.md)"},
     [](run_options& o, std::string_view v) { o.profile = std::string(v); }},
    {{"water-table", "DEPTH_M", "depth of the water table in m (default: none, dry throughout)"},
     [](run_options& o, std::string_view v) {
       o.water_table = number_value("water-table", v);
       if (!(*o.water_table >= 0.0))
         refuse_value("water-table", v, "a depth of 0 m or more is expected", false);
     }},
    {{"curves", "PATH", "soil curves of the profile's curve column: curve,strain_percent,\n"
                        "modulus_ratio,damping_percent"},
     [](run_options& o, std::string_view v) { o.curves = std::string(v); }},
    {{"angle", "DEG", "incidence angle in the half-space, 0 <= DEG < 90 (default: from the file)"},
     run_option_readers::angle},
    {{"input", "KIND", "what the record is (default: from the file's input wave type):\n"
                       "  incident  the wave incident in the half-space (type 1)\n"
                       "  within    the total motion at the top of the half-space (type 2)\n"
                       "  outcrop   the motion at a free surface of the half-space (2 x incident)"},
     [](run_options& o, std::string_view v) {
       o.input = keyword_value<input_kind>("input", v, {{"incident", input_kind::incident},
                                                        {"within", input_kind::within},
                                                        {"outcrop", input_kind::outcrop}},
                                           "incident, within or outcrop is expected");
     }},
    {{"motion", "KIND", "none (default), integrate or differentiate the surface motion"},
     [](run_options& o, std::string_view v) {
       o.motion = keyword_value<motion_kind>(
           "motion", v, {{"none", motion_kind::none}, {"integrate", motion_kind::integrate},
                         {"differentiate", motion_kind::differentiate}},
           "none, integrate or differentiate is expected");
     }},
    {{"filter", "F1,F2,F3,F4", "trapezoidal band-pass corners in Hz, 0 <= F1 <= F2 <= F3 <= F4, F1 < F4"},
     run_option_readers::filter},
    {{"scale", "S", "multiply the record by S (e.g. 9806.65 for g to mm/s2)"},
     run_option_readers::scale},
    {{"units", "NAME", "the record's unit, kept in run.json; g, m/s2, cm/s2 (gal) or mm/s2\n"
                       "also give strains and stresses (eql needs one of them); results stay\n"
                       "in the record's unit"},
     [](run_options& o, std::string_view v) { o.units = std::string(v); }},
    {{"physics", "KIND", "exact (default: oblique SH, coupled P-SV) or legacy (the dialogue's tables)"},
     [](run_options& o, std::string_view v) {
       o.physics = keyword_value<physics_kind>(
           "physics", v, {{"legacy", physics_kind::legacy}, {"exact", physics_kind::exact}},
           "legacy or exact is expected");
     }},
    {{"periods", "FILE|T1,...", "response-spectrum periods in s (default 100 from 0.01 to 10 s)"},
     [](run_options& o, std::string_view v) { o.periods = std::string(v); }},
    {{"damping", "D1,...", "response-spectrum damping ratios (default 0.05)"},
     run_option_readers::damping},
    {{"smoothing", "B", "Konno-Ohmachi bandwidth of the smoothed spectra (default 40)"},
     run_option_readers::smoothing},
    {{"out", "DIR", "results folder (default ./sitewave-out); it appears complete or not at all",
      '\0', false},
     [](run_options& o, std::string_view v) { o.out = std::string(v); }},
    {{"force", "", "replace an existing folder of sitewave's results", '\0', false},
     [](run_options& o, std::string_view) { o.force = true; }},
    {{"threads", "N", "threads for the analysis (default: SITEWAVE_THREADS or all cores)", '\0',
      false},
     run_option_readers::threads},
    {{"quiet", "", "no summary on the console", '\0', false},
     [](run_options& o, std::string_view) { o.quiet = true; }},
    {{"analysis", "KIND", "linear (default) or eql: equivalent-linear, strain-compatible soil\n"
                          "(exact physics; needs --units g, m/s2, cm/s2, gal or mm/s2)"},
     [](run_options& o, std::string_view v) {
       o.analysis = keyword_value<analysis_kind>(
           "analysis", v, {{"linear", analysis_kind::linear}, {"eql", analysis_kind::eql}},
           "linear or eql is expected");
     }},
    {{"strain-ratio", "R", "effective over peak shear strain of the eql iteration (default 0.65)"},
     [](run_options& o, std::string_view v) {
       o.strain_ratio = run_option_readers::bounded("strain-ratio", v, 0.0, 1.0,
                                                    "a ratio above 0 and at most 1 is expected");
     }},
    {{"magnitude", "M", "or the earthquake's magnitude: strain ratio (M - 1)/10"},
     [](run_options& o, std::string_view v) {
       o.magnitude = run_option_readers::bounded("magnitude", v, 1.0, 11.0,
                                                 "a magnitude above 1 and at most 11 is expected");
     }},
    {{"tolerance", "T", "eql: stop when no layer's G or D changes by this fraction (default 0.01)"},
     [](run_options& o, std::string_view v) {
       o.tolerance = run_option_readers::bounded("tolerance", v, 0.0, 0.5,
                                                 "a fraction above 0 and at most 0.5 is expected");
     }},
    {{"max-iterations", "N", "eql: analyses at most (default 15)"},
     run_option_readers::max_iterations},
    {{"sublayer-frequency", "F", "eql: split soil layers to at most a fifth of the wavelength Vs/F\n"
                                 "(default 20 Hz; 0: no sublayers)"},
     [](run_options& o, std::string_view v) {
       o.sublayer_frequency = number_value("sublayer-frequency", v);
       if (!(o.sublayer_frequency >= 0.0 && o.sublayer_frequency <= 1000.0)) {
         refuse_value("sublayer-frequency", v, "a frequency from 0 to 1000 Hz is expected", false);
       }
     }},
    {{"fft-size", "N", "transform size: the record padded with zeros to N (a power of two)"},
     run_option_readers::fft_size},
    {{"at-depth", "D1,...", "motions at these depths in m (depth_motions.csv; exact physics)"},
     run_option_readers::depths},
    {{"outputs", "LIST", "result files to write (default all): dialogue (its three files),\n"
                         "transfer, spectra, surface, response, intensity, profile,\n"
                         "depth_motions, curves (of a profile's layers);\n"
                         "run.json always"},
     run_option_readers::outputs},
    {{"cache", "DIR", "keep and reuse the record's response spectra in DIR (sitewave batch\n"
                      "sets it for its cases: cases sharing a record compute them once)",
      '\0', false},
     [](run_options& o, std::string_view v) { o.cache = std::string(v); }},
};
// clang-format on

// The options of the table, for the argument reader.
std::span<const option_spec> run_option_specs();

// Reads and checks the options; option_error names the first bad one.
run_options parse_run_options(const arguments& args);

// Every problem of the options, not only the first (for a batch manifest's
// one-line-per-problem report).
std::vector<option_problem> run_option_problems(const arguments& args);

// What goes badly together whatever the inputs: the strain ratio given twice,
// the equivalent-linear analysis or motions at depth with the legacy physics.
// A run and `sitewave check` refuse the same.
std::vector<option_problem> analysis_problems(const arguments& args, const run_options& o);

std::string_view input_name(input_kind k);
std::string_view physics_name(physics_kind k);
std::string_view motion_name(motion_kind k);
std::string_view analysis_name(analysis_kind k);

// The file the ground comes from: --profile, else --soil.
inline const std::string& ground_file(const run_options& o) {
  return o.profile ? *o.profile : o.soil;
}

// Whether --outputs asks for a result (every one when not given).
bool wants(const run_options& o, std::string_view output);

// The effective over peak strain ratio of the eql iteration the options give.
double strain_ratio_of(const run_options& o);

}  // namespace sitewave::cli
