// One analysis of the command: the record's spectra, the amplification of
// the layers for the chosen input, the shaping and the surface waveforms,
// all from core steps on storage sized from the record. No file is touched.
#pragma once

#include <array>
#include <complex>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "cli/inputs/ground_model.hpp"
#include "cli/inputs/record.hpp"
#include "cli/run/run_options.hpp"
#include "core/exact/exact_transfer.hpp"
#include "core/ground/amp_table.hpp"
#include "core/parallel/work_control.hpp"
#include "core/shaping/shaping.hpp"
#include "core/spectral/frequency_grid.hpp"

namespace sitewave::cli {

// Rows of the exact physics for each component: the strain-compatible rows
// an equivalent-linear analysis found for H1, H2 and the vertical.
struct component_rows {
  std::vector<exact::layer_row> h1, h2, vertical;
};

// The options of the run, and what they leave to the ground model file,
// resolved: the angle and the input.
struct analysis_settings {
  run_options options;
  float angle_deg = 0.0f;  // incidence angle in the half-space, degrees
  input_kind input = input_kind::incident;
  work_control control;
  std::optional<component_rows> rows;  // none: every component through the ground model
};

inline constexpr std::size_t component_count = 3;  // H1, H2, V1

inline constexpr double radians_per_degree = std::numbers::pi / 180.0;

struct analysis {
  std::size_t components = 3;  // of the record: H1 (and H2, and V1); the others stay empty
  bool vertical = true;        // the ground model gives P velocities (else no P-SV columns)
  int nt = 0;
  int nf = 0;
  int exponent = 0;
  float dt = 0.0f;
  frequency_grid grid;

  // The two columns of both tables, as Amp-Factors.csv shows their moduli:
  // entry i of each for grid line i + 1. Column 1 refers the surface to the
  // incident wave, column 2 to the total motion at the top of the half-space.
  struct table_columns {
    std::vector<cplx> sh_incident, sh_within, vertical_incident, vertical_within;
  } columns;
  // The amplification applied to H1/H2 (sh) and V1 (psv), lines 1..nom;
  // sh_h2, when not empty, to H2 (its own strain-compatible rows).
  std::vector<std::complex<double>> sh, sh_h2, psv;
  // Radial surface motion of an incident P wave (exact physics only).
  std::vector<std::complex<double>> radial;

  std::array<std::vector<cplx>, component_count> input_spectrum;  // record spectra, lines 1..nom
  std::array<std::vector<cplx>, component_count> shaped;          // shaped surface spectra, 1..nom
  std::array<std::vector<float>, component_count> surface;        // surface waveforms, nf samples
  // The surface motion before integration or differentiation (the same as
  // `surface` when the motion is left as it is), nf samples.
  std::array<std::vector<float>, component_count> surface_acceleration;
};

// The transform size of a record: the smallest power of two of at least its
// rows (at least 4), or --fft-size; refuses a record the analysis cannot use.
int transform_size(const record& r, std::optional<long long> fft_size);

// Refuses a record the analysis cannot use (input_error), else analyses it.
// When the stop flag of settings.control is raised the analysis ends early
// and incomplete: the caller, which raised it, ends the run.
analysis analyse(const record& r, const ground_model& model, const analysis_settings& settings);

}  // namespace sitewave::cli
