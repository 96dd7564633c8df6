// The layer recursion shared by the SH and P-SV amplification: the stack
// matrix carried from the free surface down through the rows, one interface
// at a time, and the two table entries it yields at the top of the
// half-space, run over blocks of neighbouring frequency lines.
#pragma once

#include <span>

#include "core/ground/amp_table.hpp"
#include "core/ground/layer_table.hpp"
#include "core/ground/line_block.hpp"
#include "core/parallel/work_control.hpp"
#include "core/spectral/cplx.hpp"

namespace sitewave::ground {

// One wave type of the rows: its velocity and damping columns.
struct wave_columns {
  const layer_column* v;   // velocity
  const layer_column* q0;  // base quality factor
  const layer_column* f;   // frequency coefficient of the factor
};

// Wave types that make up a row's velocity: S alone, or S and P.
inline constexpr std::size_t max_waves = 2;

// A row's complex velocity on every line of a block, from the damped
// velocities of its wave types (in the order of the wave columns).
using velocity_rule = void (*)(std::span<const complex_lines> damped, complex_lines& velocity);

// The squared horizontal slowness at incidence angle theta in the half-space,
// the same in every row.
using slowness_rule = cplx (*)(const layer_table& layers, float theta);

// What the SH and P-SV tables differ by.
struct wave_model {
  std::span<const wave_columns> waves;  // at most max_waves
  velocity_rule velocity;
  slowness_rule slowness_squared;
};

// Fills entries 1..nom of both columns, entry io standing for the angular
// frequency fom + (io − 1)·dom; interfaces are added from the deepest up.
// Rows whose damping does not depend on frequency have their velocities,
// impedance ratios and vertical slownesses formed once, by the same
// operations as on every line. A row count that is no layer stack would send
// the recursion outside the layer table: the table is then left as it stands.
void fill_table(float fom, float dom, int nom, const layer_table& layers, float theta,
                amp_columns amp, const work_control& control, const wave_model& model);

}  // namespace sitewave::ground
