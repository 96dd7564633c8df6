// Material damping of a layer as a complex wave velocity: the effective
// quality factor grows with frequency from the row's base factor Q0, by a
// power law for the row above an interface and linearly for the row below.
// Each rule is given for one frequency and for the lines of a block; a block
// gets on every line exactly the single-frequency value.
#pragma once

#include "core/ground/line_block.hpp"
#include "core/spectral/cplx.hpp"

namespace sitewave::ground {

// Factor of the row above an interface: Q0 · freq^f, never below Q0.
float upper_q(float q0, float f, float freq);

// Factor of the row below an interface: Q0 · freq · f, never below Q0.
float lower_q(float q0, float f, float freq);

// Velocity v carrying the damping of factor q: v · (1 + i·0.5/q).
cplx damped_velocity(float v, float q);

// The upper-member rule in two halves, so that rows with the same
// coefficient f share one power per line: growth = freq^f, rounded once, and
// the factor Q0 · growth, never below Q0.
void growth_lines(float f, const line_values& freq, line_values& growth);
void upper_q_lines(float q0, const line_values& growth, line_values& q);

void lower_q_lines(float q0, float f, const line_values& freq, line_values& q);
void damped_velocity_lines(float v, const line_values& q, complex_lines& velocity);

}  // namespace sitewave::ground
