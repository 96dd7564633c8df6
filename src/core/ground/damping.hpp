// Material damping of a layer as a complex wave velocity: the effective
// quality factor grows with frequency from the row's base factor Q0, by a
// power law for the row above an interface and linearly for the row below.
#pragma once

#include "core/spectral/cplx.hpp"

namespace sitewave::ground {

// Factor of the row above an interface: Q0 · freq^f, never below Q0.
float upper_q(float q0, float f, float freq);

// Factor of the row below an interface: Q0 · freq · f, never below Q0.
float lower_q(float q0, float f, float freq);

// Velocity v carrying the damping of factor q: v · (1 + i·0.5/q).
cplx damped_velocity(float v, float q);

}  // namespace sitewave::ground
