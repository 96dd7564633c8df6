// SH recursion from the free surface down. Each row's field is split into its
// up- and down-going waves, the down-going one referred to the row's top and
// the up-going one to its bottom, so that every exponential carried across a
// row is e^(−iωηh), never larger than 1: thick, strongly damped or evanescent
// rows cannot overflow, they only drive the surface motion towards zero.
#include "core/exact/sh_recursion.hpp"

#include <array>
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

void sh_through_lines(std::span<const sh_terms> terms, std::span<sh_columns> out) {
  const std::size_t lines = out.size();
  if (lines == 0 || terms.empty()) return;
  const std::size_t rows = terms.size() / lines;
  // Displacement and traction/(−iω) at the top of the current row, per unit
  // of a free amplitude: the surface motion in the first row, and the
  // up-going wave at the bottom of the row above in every other; and the
  // surface motion per unit of that free amplitude. One of each per line.
  std::array<zd, max_interleaved_lines> u, t, to_surface;
  u.fill(1.0);
  t.fill(0.0);
  to_surface.fill(1.0);
  for (std::size_t j = 0;; ++j) {
    for (std::size_t l = 0; l < lines; ++l) {
      const sh_terms& row = terms[j * lines + l];
      const zd difference = t[l] * row.inv_impedance;  // down-going minus up-going
      const zd up = 0.5 * (u[l] - difference);
      const zd down = 0.5 * (u[l] + difference);
      const zd per_up = reciprocal(up);
      to_surface[l] *= per_up;  // now per unit up-going wave at the top of row j
      if (j + 1 == rows) {
        out[l] = {to_surface[l], to_surface[l] * quotient(up, u[l])};
        continue;
      }
      const zd reflection = down * per_up;
      const zd e = row.crossing;
      to_surface[l] *= e;  // per unit up-going wave at the bottom of row j
      const zd reflection_below = e * reflection * e;
      u[l] = 1.0 + reflection_below;
      t[l] = row.impedance * (reflection_below - 1.0);
    }
    if (j + 1 == rows) return;
  }
}

sh_columns sh_through(std::span<const sh_terms> rows) {
  sh_columns c{};
  sh_through_lines(rows, std::span(&c, 1));
  return c;
}

sh_columns sh_response(std::span<const damped_row> rows, double p, double omega) {
  std::vector<sh_terms> terms(rows.size());
  for (std::size_t j = 0; j + 1 < rows.size(); ++j) terms[j] = sh_terms_of(rows[j], p, omega);
  if (!rows.empty()) terms.back() = sh_impedance(rows.back(), vertical_slowness(rows.back().vs, p));
  return sh_through(terms);
}

}  // namespace sitewave::exact
