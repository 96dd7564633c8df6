// Exact amplification of the layered ground for an obliquely incident plane
// wave, in double precision: SH with the oblique interface impedance, and the
// coupled P-SV response to an incident P wave, each row damped by one quality
// factor per frequency and wave type.
#pragma once

#include <complex>
#include <span>
#include <vector>

#include "core/ground/layer_table.hpp"
#include "core/parallel/work_control.hpp"

namespace sitewave::exact {

// One row of the ground model, from the surface down; the last row is the
// half-space and its thickness is not used. Densities, velocities in m/s,
// thicknesses in m; Q(f) = max(Q0, Q0·f^F) for (Q0, F) = (qp, fp) and (qs, fs).
struct layer_row {
  double density, vp, qp, fp, vs, qs, fs, thickness;
};

// Surface motion at one angular frequency, time factor e^(+iωt). "Incident"
// columns refer to the incident wave alone at the top of the half-space,
// "within" columns to the total motion there. Vertical motion counts upwards;
// radial motion is horizontal in the plane of incidence and counts positive
// in the direction the wave travels horizontally.
struct transfer_at {
  std::complex<double> sh_incident, sh_within;              // SH, surface over horizontal motion
  std::complex<double> vertical_incident, vertical_within;  // incident P, surface vertical
  std::complex<double> radial_incident, radial_within;      // incident P, surface radial over the
                                                            // same vertical references
  // Surface over incident vertical motion for the half-space alone: divide
  // vertical_incident by it for a motion recorded at an outcrop.
  std::complex<double> vertical_free_surface;

  friend bool operator==(const transfer_at&, const transfer_at&) = default;
};

// Which columns exact_transfer fills; the others are left as they were.
enum class transfer_part { all, sh, psv };

// out[k] at angular frequency k·dom (k = 0 is the zero-frequency limit); theta
// is the incidence angle in the half-space, in radians from the vertical, at
// least 0 and below π/2. Lines are shared among the threads of `control`; on a
// stop request the lines not reached are left as they were. A model that
// cannot be computed is refused with std::invalid_argument naming the row.
// Rows whose damping does not depend on frequency take the crossing factor
// of line k as the product of two at other lines: a line then agrees with
// exact_transfer_at to about 1e-15, not bit for bit.
void exact_transfer(std::span<const layer_row> rows, double theta, double dom,
                    std::span<transfer_at> out, const work_control& control,
                    transfer_part part = transfer_part::all);

// The same at one angular frequency; a negative omega gives the complex
// conjugate of the value at −omega, as for the spectrum of a real record.
transfer_at exact_transfer_at(std::span<const layer_row> rows, double theta, double omega);

// Rows 1..nl of the legacy single-precision table.
std::vector<layer_row> rows_of(const ground::layer_table& t);

}  // namespace sitewave::exact
