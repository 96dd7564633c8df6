// Damping of a row at one frequency: one quality factor per wave type,
// whichever side of an interface the row is seen from, carried into the wave
// recursions as complex velocities.
#pragma once

#include <complex>

#include "core/exact/exact_transfer.hpp"

namespace sitewave::exact {

// Q0·hertz^growth, never below Q0; an infinite Q0 stays infinite.
double quality_at(double q0, double growth, double hertz);

// The same from power = hertz^growth, for rows that share their growth.
double quality_with(double q0, double power);

// Whether quality_at gives Q0 at every frequency: no growth, or no damping.
bool quality_is_fixed(double q0, double growth);

// v·(1 + i/(2q)); an infinite q leaves v undamped.
std::complex<double> damped_velocity(double v, double q);

// A row as the waves see it at one frequency.
struct damped_row {
  double density;
  std::complex<double> vp, vs;
  double thickness;
};

damped_row damp(const layer_row& row, double hertz);

}  // namespace sitewave::exact
