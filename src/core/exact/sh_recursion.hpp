// Exact SH response of the layer stack to a plane wave incident from the
// half-space: the interface impedance of a row is μ*·η, the same product
// that sets its vertical wavenumber.
#pragma once

#include <complex>
#include <span>

#include "core/exact/damping.hpp"

namespace sitewave::exact {

// Surface horizontal motion over the incident wave at the top of the
// half-space (incident) and over the total motion there (within).
struct sh_columns {
  std::complex<double> incident, within;
};

// rows are damped at the frequency of omega (≥ 0), the last is the
// half-space; p is the horizontal slowness, the same in every row.
sh_columns sh_response(std::span<const damped_row> rows, double p, double omega);

}  // namespace sitewave::exact
