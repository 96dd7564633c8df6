// SH recursion from the free surface down. Each row's field is split into its
// up- and down-going waves, the down-going one referred to the row's top and
// the up-going one to its bottom, so that every exponential carried across a
// row is e^(−iωηh), never larger than 1: thick, strongly damped or evanescent
// rows cannot overflow, they only drive the surface motion towards zero.
#include "core/exact/sh_recursion.hpp"

#include <cmath>
#include <vector>

#include "core/exact/complex_lanes.hpp"
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

namespace {

zd reciprocal_of(zd b) {
  return reciprocal(b);
}
[[gnu::always_inline]] inline lanes::cv reciprocal_of(lanes::cv b) {
  return lanes::reciprocal(b);
}
zd part(zd z, std::size_t) {
  return z;
}
[[gnu::always_inline]] inline zd part(lanes::cv z, std::size_t l) {
  return z[l];
}

// The recursion of one line with the language's products, or of the lines
// side by side in lanes with plain products.
// load(j, ...) gives row j's terms.
template <class Z, class Load>
void sh_recursion(std::size_t rows, std::size_t lines, Load load, std::span<sh_columns> out) {
  // Displacement and traction/(−iω) at the top of the current row, per unit
  // of a free amplitude: the surface motion in the first row, and the
  // up-going wave at the bottom of the row above in every other; and the
  // surface motion per unit of that free amplitude.
  Z u = 1.0, t = 0.0, to_surface = 1.0;
  for (std::size_t j = 0;; ++j) {
    Z impedance, inv_impedance, e;
    load(j, impedance, inv_impedance, e);
    const Z difference = t * inv_impedance;  // down-going minus up-going
    const Z up = 0.5 * (u - difference);
    const Z down = 0.5 * (u + difference);
    const Z per_up = reciprocal_of(up);
    to_surface = to_surface * per_up;  // now per unit up-going wave at the top of row j
    if (j + 1 == rows) {
      for (std::size_t l = 0; l < lines; ++l) {
        const zd ts = part(to_surface, l);
        out[l] = {ts, ts * quotient(part(up, l), part(u, l))};
      }
      return;
    }
    const Z reflection = down * per_up;
    to_surface = to_surface * e;  // per unit up-going wave at the bottom of row j
    const Z reflection_below = e * reflection * e;
    u = 1.0 + reflection_below;
    t = impedance * (reflection_below - 1.0);
  }
}


bool has_nan(const sh_columns& c) {
  for (const zd z : {c.incident, c.within})
    if (std::isnan(z.real()) || std::isnan(z.imag())) return true;
  return false;
}

}  // namespace

void sh_through_lines(std::span<const sh_terms> terms, std::span<sh_columns> out) {
  const std::size_t lines = out.size();
  if (lines == 0 || terms.empty()) return;
  const std::size_t rows = terms.size() / lines;
  if (lines == 1) {
    sh_recursion<zd>(rows, 1, [&](std::size_t j, zd& z, zd& inv, zd& e) {
      z = terms[j].impedance, inv = terms[j].inv_impedance, e = terms[j].crossing;
    }, out);
    return;
  }
  sh_recursion<lanes::cv>(rows, lines, [&](std::size_t j, lanes::cv& z, lanes::cv& inv,
                                           lanes::cv& e) {
    for (std::size_t l = 0; l < lanes::width; ++l) {
      const sh_terms& x = terms[j * lines + (l < lines ? l : 0)];
      z.set(l, x.impedance);
      inv.set(l, x.inv_impedance);
      e.set(l, x.crossing);
    }
  }, out);
  // Plain products agree with the language's unless a NaN arose, and a NaN
  // stays to the end: such a line is formed again one line at a time.
  for (std::size_t l = 0; l < lines; ++l) {
    if (!has_nan(out[l])) continue;
    sh_recursion<zd>(rows, 1, [&](std::size_t j, zd& z, zd& inv, zd& e) {
      const sh_terms& x = terms[j * lines + l];
      z = x.impedance, inv = x.inv_impedance, e = x.crossing;
    }, out.subspan(l, 1));
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
