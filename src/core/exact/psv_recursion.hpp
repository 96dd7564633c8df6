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

// What the plane waves of one row need at horizontal slowness p.
struct psv_row {
  double p, density, inv_density;
  std::complex<double> eta_p, eta_s, inv_eta_p, inv_eta_s;
  std::complex<double> gamma;    // 1 − 2β²p², β the complex S velocity
  std::complex<double> two_b2p;  // 2β²p
  std::complex<double> shear_p;  // 2β²p·η_P
  std::complex<double> shear_s;  // 2β²p·η_S
};

psv_row psv_row_of(const damped_row& row, double p);

// A row at one frequency: its waves and the factors e^(−iωηh) its P and S
// waves pick up in crossing it (not used for the half-space).
struct psv_terms {
  psv_row row;
  std::complex<double> crossing_p, crossing_s;
};

psv_terms psv_terms_of(const damped_row& row, double p, double omega);

// The response of rows given by their terms, the last the half-space.
psv_motion psv_through(std::span<const psv_terms> rows, incident_wave wave);

// rows are damped at the frequency of omega (≥ 0), the last is the
// half-space; p is the horizontal slowness, the same in every row.
psv_motion psv_response(std::span<const damped_row> rows, double p, double omega,
                        incident_wave wave);

}  // namespace sitewave::exact
