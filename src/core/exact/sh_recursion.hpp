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

// What the recursion needs of one row at one frequency: its interface
// impedance μ*·η, the reciprocal of that, and the factor e^(−iωηh) a wave
// picks up in crossing it (not used for the half-space).
struct sh_terms {
  std::complex<double> impedance, inv_impedance, crossing;
};

// The terms of a row damped at the frequency of omega (≥ 0) for horizontal
// slowness p; the impedance alone with sh_impedance, crossing aside.
sh_terms sh_terms_of(const damped_row& row, double p, double omega);
sh_terms sh_impedance(const damped_row& row, std::complex<double> eta);

// The response of rows given by their terms, the last the half-space.
sh_columns sh_through(std::span<const sh_terms> rows);

// rows are damped at the frequency of omega (≥ 0), the last is the
// half-space; p is the horizontal slowness, the same in every row.
sh_columns sh_response(std::span<const damped_row> rows, double p, double omega);

}  // namespace sitewave::exact
