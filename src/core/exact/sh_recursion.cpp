// SH recursion from the free surface down. Each row's field is split into its
// up- and down-going waves, the down-going one referred to the row's top and
// the up-going one to its bottom, so that every exponential carried across a
// row is e^(−iωηh), never larger than 1: thick, strongly damped or evanescent
// rows cannot overflow, they only drive the surface motion towards zero.
#include "core/exact/sh_recursion.hpp"

#include <vector>

#include "core/exact/line_arithmetic.hpp"
#include "core/exact/vertical_slowness.hpp"

namespace sitewave::exact {

namespace {
using zd = std::complex<double>;
}  // namespace

sh_terms sh_impedance(const damped_row& row, zd eta) {
  const zd impedance = row.density * row.vs * row.vs * eta;
  return {impedance, reciprocal(impedance), 1.0};
}

sh_terms sh_terms_of(const damped_row& row, double p, double omega) {
  const zd eta = vertical_slowness(row.vs, p);
  sh_terms t = sh_impedance(row, eta);
  t.crossing = crossing(eta, omega, row.thickness);
  return t;
}

sh_columns sh_through(std::span<const sh_terms> rows) {
  if (rows.empty()) return {};
  // Displacement and traction/(−iω) at the top of the current row, per unit
  // of a free amplitude: the surface motion in the first row, and the
  // up-going wave at the bottom of the row above in every other.
  zd u = 1.0;
  zd t = 0.0;
  zd to_surface = 1.0;  // surface motion per unit of that free amplitude
  for (std::size_t j = 0;; ++j) {
    const sh_terms& row = rows[j];
    const zd difference = t * row.inv_impedance;  // down-going minus up-going
    const zd up = 0.5 * (u - difference);
    const zd down = 0.5 * (u + difference);
    const zd per_up = reciprocal(up);
    to_surface *= per_up;  // now per unit up-going wave at the top of row j
    if (j + 1 == rows.size()) return {to_surface, to_surface * quotient(up, u)};
    const zd reflection = down * per_up;
    const zd e = row.crossing;
    to_surface *= e;  // per unit up-going wave at the bottom of row j
    const zd reflection_below = e * reflection * e;
    u = 1.0 + reflection_below;
    t = row.impedance * (reflection_below - 1.0);
  }
}

sh_columns sh_response(std::span<const damped_row> rows, double p, double omega) {
  std::vector<sh_terms> terms(rows.size());
  for (std::size_t j = 0; j + 1 < rows.size(); ++j) terms[j] = sh_terms_of(rows[j], p, omega);
  if (!rows.empty()) terms.back() = sh_impedance(rows.back(), vertical_slowness(rows.back().vs, p));
  return sh_through(terms);
}

}  // namespace sitewave::exact
