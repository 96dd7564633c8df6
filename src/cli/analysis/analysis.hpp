// One analysis of the command: the record's spectra, the amplification of
// the layers for the chosen input, the shaping and the surface waveforms,
// all from core steps on storage sized from the record. No file is touched.
#pragma once

#include <array>
#include <complex>
#include <string>
#include <vector>

#include "cli/inputs/ground_model.hpp"
#include "cli/inputs/record.hpp"
#include "core/ground/amp_table.hpp"
#include "core/parallel/work_control.hpp"
#include "core/shaping/shaping.hpp"
#include "core/spectral/frequency_grid.hpp"

namespace sitewave::cli {

// What the record is referred to: the incident wave in the half-space, the
// total motion at its top (a borehole record), or the motion the incident
// wave gives at a free surface of the half-space (an outcrop record).
enum class input_kind { incident, within, outcrop };
enum class physics_kind { legacy, exact };

struct analysis_settings {
  float angle_deg = 0.0f;  // incidence angle in the half-space, degrees
  input_kind input = input_kind::incident;
  physics_kind physics = physics_kind::legacy;
  int operation = 0;  // 0 none, shaping::integrate, shaping::differentiate
  shaping::band band;
  work_control control;
  std::string model_name;  // how refusals name the ground model
};

inline constexpr int components = 3;  // H1, H2, V1

struct analysis {
  int nt = 0;
  int nf = 0;
  int exponent = 0;
  float dt = 0.0f;
  frequency_grid grid;

  // Moduli of the two columns of both tables, as Amp-Factors.csv shows them:
  // entry i of each array for grid line i + 1.
  std::array<std::vector<cplx>, 4> columns;  // SH 1, SH 2, P-SV 1, P-SV 2
  // The amplification applied to H1/H2 (sh) and V1 (psv), lines 1..nom.
  std::vector<std::complex<double>> sh, psv;
  // Radial surface motion of an incident P wave (exact physics only).
  std::vector<std::complex<double>> radial;

  std::array<std::vector<cplx>, components> input_spectrum;  // record spectra, lines 1..nom
  std::array<std::vector<cplx>, components> shaped;          // shaped surface spectra, 1..nom
  std::array<std::vector<float>, components> surface;        // surface waveforms, nf samples
  // The surface motion before integration or differentiation (the same as
  // `surface` when the motion is left as it is), nf samples.
  std::array<std::vector<float>, components> surface_acceleration;
};

// Refuses a record the analysis cannot use (input_error), else analyses it.
// When the stop flag of settings.control is raised the analysis ends early
// and incomplete: the caller, which raised it, ends the run.
analysis analyse(const record& r, const ground_model& model, const analysis_settings& settings);

}  // namespace sitewave::cli
