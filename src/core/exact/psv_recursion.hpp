// Exact P-SV response of the layer stack to a plane P or SV wave incident
// from the half-space: the coupled motion at the free surface and at the top
// of the half-space.
#pragma once

#include <complex>
#include <span>

#include "core/exact/damping.hpp"

namespace sitewave::exact {

enum class incident_wave { p, sv };

// Displacement in the plane of incidence: x horizontal, positive in the
// direction the wave travels horizontally; z positive downwards.
struct displacement {
  std::complex<double> x, z;
};

// Per unit amplitude of the incident wave: the surface motion, the total
// motion at the top of the half-space, and the incident wave's own motion
// there. A unit up-going P wave moves the ground by (p, −η_P) and a unit
// up-going SV wave by (−η_S, −p): their polarisations over their velocities.
struct psv_motion {
  displacement surface, base, incident;
};

// rows are damped at the frequency of omega (≥ 0), the last is the
// half-space; p is the horizontal slowness, the same in every row.
psv_motion psv_response(std::span<const damped_row> rows, double p, double omega,
                        incident_wave wave);

}  // namespace sitewave::exact
