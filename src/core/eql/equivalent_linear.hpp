// Equivalent-linear analysis of the layered ground on the exact oblique SH
// physics: linear analyses of one horizontal record are repeated, each soil
// layer's shear modulus and damping taken from its curves at the effective
// strain the previous analysis produced, until the two agree. The loop, its
// history and its outcome are data; messages belong to the caller.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

#include "core/exact/exact_transfer.hpp"
#include "core/exact/wavefield.hpp"
#include "core/parallel/work_control.hpp"

namespace sitewave::eql {

// A strain-dependent property of a soil at an effective shear strain given as
// a plain ratio (0.001 is 0.1 %): the modulus ratio G/Gmax (above zero) or
// the damping ratio D (zero or more).
using strain_curve = std::function<double(double strain)>;

// One layer of the ground model, from the surface down; the last is the
// half-space, whose thickness is not used and which stays linear whatever
// curves it is given.
struct soil_layer {
  double thickness = 0.0;  // m
  double density = 0.0;    // t/m³: then G = ρ·Vs² is in kPa, and so are stresses
  double vs = 0.0;         // small-strain shear-wave velocity, m/s
  double vp = 0.0;         // small-strain P-wave velocity, m/s (for the vertical's rows)
  double damping = 0.0;    // initial damping ratio, of S and P waves alike
  // Both set for a soil that softens with strain, both empty for a row that
  // stays linear at its small-strain velocity and initial damping.
  strain_curve modulus_ratio{};
  strain_curve damping_ratio{};
  // Below the water table the pore water carries the bulk stiffness: the
  // P-wave velocity then keeps its small-strain value as the soil softens.
  bool below_water_table = false;
};

// One horizontal component of the input record.
struct record_input {
  std::span<const double> acceleration;  // m/s², samples at steps of dt from t = 0
  double dt = 0.0;                       // s
  // N, a power of two of at least 2 and no fewer than the samples; the record
  // is padded with zeros to N, and every time history below has N samples.
  // Displacement is −A/ω² line by line; the zero-frequency line is zero (the
  // histories have no mean) and the Nyquist line keeps the real part of its
  // value, so every history is real.
  std::size_t transform_size = 0;
  exact::input_kind kind = exact::input_kind::outcrop;
  double theta = 0.0;  // incidence angle in the half-space, radians, 0 ≤ θ < π/2
};

struct eql_settings {
  // Effective over peak strain; a caller may take (M − 1)/10 for magnitude M.
  double strain_ratio = 0.65;
  // The loop ends when no layer's G or D changes by this fraction or more.
  double tolerance = 0.01;
  int max_iterations = 15;  // analyses at most, 1 or more
};

// The properties a layer is analysed with.
struct layer_properties {
  double modulus_ratio;  // G/Gmax
  double damping;        // D
};

// One row of a result, all from the same analysis. Strains and stresses are
// taken at the mid-depth of a layer and at the top of the half-space.
struct layer_result {
  double modulus_ratio = 1.0;     // G/Gmax the analysis used
  double damping = 0.0;           // D the analysis used
  double vs = 0.0;                // Vs·√(G/Gmax), m/s
  double max_strain = 0.0;        // peak of √(γyz² + γxy²) over the N samples, a ratio
  double effective_strain = 0.0;  // strain_ratio × max_strain
  double max_stress = 0.0;        // peak |τyz|, kPa
  double pga = 0.0;               // peak |total acceleration| at the row's top, m/s²
};

// The per-row results of one analysis and the rows it used, ready for the
// exact analysis of the surface motion: Vs·√(G/Gmax), Q = 1/(2D) for S and P
// waves (infinite for D = 0), no growth with frequency, and the P velocity of
// the vertical rule below with this component alone.
struct layer_profile {
  std::vector<layer_result> layers;
  std::vector<exact::layer_row> rows;
};

// The largest relative change over the layers with curves between the
// properties an analysis used and those its strains give: |new − old| over
// the larger of the two (0 when both are 0).
struct iteration_step {
  double modulus_change = 0.0;
  double damping_change = 0.0;
};

enum class eql_outcome {
  converged,        // the last analysis's properties agree with its strains
  iteration_limit,  // max_iterations analyses ran without that agreement
  stopped,          // the work control asked to stop; the profile is empty
};

struct eql_result {
  eql_outcome outcome = eql_outcome::stopped;
  int iterations = 0;                   // analyses run
  std::vector<iteration_step> history;  // one per analysis
  // The last analysis: the properties it used and everything they give
  // (rerunning from them repeats that analysis).
  layer_profile profile;
};

// The strain-compatible profile of the ground under one horizontal component.
// The first analysis uses `start` (one entry per layer, the half-space's
// ignored) or, when empty, the small-strain properties: G/Gmax = 1 and the
// initial damping. Each analysis costs one wave-field pass per frequency line
// and one inverse transform per layer. Lines are shared among the threads of
// `control`, and the results do not depend on their number. Inputs that
// cannot be analysed, and curves that give unusable values, are refused with
// std::invalid_argument naming the layer and the value.
eql_result equivalent_linear(std::span<const soil_layer> layers, const record_input& record,
                             const eql_settings& settings = {},
                             std::span<const layer_properties> start = {},
                             const work_control& control = {});

// One analysis at the small-strain properties, giving the same per-row
// results a converged loop gives for its own (strain_ratio is the only
// setting used). Empty when stopped.
layer_profile linear_response(std::span<const soil_layer> layers, const record_input& record,
                              const eql_settings& settings = {}, const work_control& control = {});

// The same per-row results for rows of the exact physics as they stand
// (damping that may grow with frequency included): the linear response of a
// ground model that has no curves. Each row's damping is reported as
// 1/(2·Qs0).
layer_profile linear_response_through(std::span<const exact::layer_row> rows,
                                      const record_input& record, const eql_settings& settings = {},
                                      const work_control& control = {});

// The same for one or two horizontal components of a record at once (they
// share dt, transform size, input kind and angle), from one wave-field pass
// per line for both: every row's peak acceleration, and with `strains` its
// peak strain and stress too (else left 0: a record in no physical unit).
std::vector<layer_profile> linear_responses_through(std::span<const exact::layer_row> rows,
                                                    std::span<const record_input> records,
                                                    const eql_settings& settings, bool strains,
                                                    const work_control& control = {});

// The properties of a profile, as `start` for another run (for instance the
// second horizontal component starting where the first ended).
std::vector<layer_properties> properties_of(const layer_profile& profile);

// The motion of the record's SH wave at depths below the surface (m) for the
// given rows (a profile's rows; any rows of the exact physics): the total
// (within) acceleration and the acceleration a free surface there would show
// (the outcrop motion, 2 × the up-going wave), N samples each in m/s². One
// wave-field pass per frequency line for all depths. Empty when stopped.
struct depth_motion {
  double depth = 0.0;
  std::vector<double> within;
  std::vector<double> outcrop;
};

std::vector<depth_motion> motions_at(std::span<const exact::layer_row> rows,
                                     const record_input& record, std::span<const double> depths,
                                     const work_control& control = {});

// The rows for the vertical's exact analysis, after both horizontal
// components have run on their own: each soil layer takes the modulus and
// damping of the component with the larger peak strain there (H1 on a tie);
// its P velocity follows the modulus with the small-strain Poisson ratio
// held, except below the water table, where it keeps its small-strain value;
// P damping is S damping. Rows without curves and the half-space stay at
// their small-strain velocities and initial damping.
std::vector<exact::layer_row> vertical_rows(std::span<const soil_layer> layers,
                                            const layer_profile& h1, const layer_profile& h2);

}  // namespace sitewave::eql
