// Coupled P-SV recursion from the free surface down, carried as reflection
// matrices (the down-going P and SV waves a row receives from the stack above
// per unit of its up-going ones) rather than as a product of layer matrices.
// Down-going waves are referred to the top of their row and up-going waves to
// its bottom, so the only exponentials are e^(−iωηh), never larger than 1:
// the growing and decaying solutions that ruin a plain layer-matrix product
// in thick or evanescent rows never meet.
#include "core/exact/psv_recursion.hpp"

#include <vector>

#include "core/exact/line_arithmetic.hpp"
#include "core/exact/vertical_slowness.hpp"

namespace sitewave::exact {

namespace {

using zd = std::complex<double>;

// 2×2 complex matrix; columns are the two independent fields of the stack.
struct mat2 {
  zd m11, m12, m21, m22;
};

mat2 operator*(const mat2& a, const mat2& b) {
  return {a.m11 * b.m11 + a.m12 * b.m21, a.m11 * b.m12 + a.m12 * b.m22,
          a.m21 * b.m11 + a.m22 * b.m21, a.m21 * b.m12 + a.m22 * b.m22};
}

mat2 inverse(const mat2& a) {
  const zd r = reciprocal(a.m11 * a.m22 - a.m12 * a.m21);
  return {a.m22 * r, -a.m12 * r, -a.m21 * r, a.m11 * r};
}

// Displacement and traction/(−iω) on a horizontal plane, z downwards.
struct motion {
  zd ux, uz, tx, tz;
};

// Amplitudes of the four plane waves of a row. A unit wave moves the ground
// by P down (p, η_P), P up (p, −η_P), SV down (η_S, −p), SV up (−η_S, −p).
struct waves {
  zd down_p, down_s, up_p, up_s;
};

// The motion of given wave amplitudes, written with the sums and differences
// of the down- and up-going amplitudes of each wave type.
motion join(const psv_row& w, const waves& a) {
  const zd sum_p = a.down_p + a.up_p;
  const zd dif_p = a.down_p - a.up_p;
  const zd sum_s = a.down_s + a.up_s;
  const zd dif_s = a.down_s - a.up_s;
  return {
      .ux = w.p * sum_p + w.eta_s * dif_s,
      .uz = w.eta_p * dif_p - w.p * sum_s,
      .tx = w.density * (w.shear_p * dif_p + w.gamma * sum_s),
      .tz = w.density * (w.gamma * sum_p - w.shear_s * dif_s),
  };
}

// The inverse of join, in closed form.
waves split(const psv_row& w, const motion& b) {
  const zd tx = b.tx * w.inv_density;
  const zd tz = b.tz * w.inv_density;
  const zd sum_p = w.two_b2p * b.ux + tz;
  const zd dif_p = (w.gamma * b.uz + w.p * tx) * w.inv_eta_p;
  const zd sum_s = tx - w.two_b2p * b.uz;
  const zd dif_s = (w.gamma * b.ux - w.p * tz) * w.inv_eta_s;
  return {0.5 * (sum_p + dif_p), 0.5 * (sum_s + dif_s), 0.5 * (sum_p - dif_p),
          0.5 * (sum_s - dif_s)};
}

// What the recursion carries from row to row: the two fields at the top of
// the current row, per unit of two free amplitudes (the surface displacements
// in the first row, the up-going P and SV waves at the bottom of the row
// above in every other), and the surface displacement per unit of those.
struct stack_state {
  motion first{1.0, 0.0, 0.0, 0.0};
  motion second{0.0, 1.0, 0.0, 0.0};
  mat2 to_surface{1.0, 0.0, 0.0, 1.0};
};

// The state at the top of the next row. a and b are the waves of the two
// fields in the row; per_up turns unit up-going waves at its top into the free
// amplitudes, and to_surface already includes it.
stack_state below(const psv_terms& row, const waves& a, const waves& b, const mat2& per_up,
                  const mat2& to_surface) {
  const psv_row& w = row.row;
  const mat2 reflection = mat2{a.down_p, b.down_p, a.down_s, b.down_s} * per_up;
  const zd ep = row.crossing_p;
  const zd es = row.crossing_s;
  return {
      .first = join(w, {ep * reflection.m11 * ep, es * reflection.m21 * ep, 1.0, 0.0}),
      .second = join(w, {ep * reflection.m12 * es, es * reflection.m22 * es, 0.0, 1.0}),
      .to_surface = {to_surface.m11 * ep, to_surface.m12 * es, to_surface.m21 * ep,
                     to_surface.m22 * es},
  };
}

// The motions for a unit incident wave once the recursion reaches the
// half-space w.
psv_motion in_half_space(const psv_row& w, const stack_state& s, const mat2& per_up,
                         const mat2& to_surface, incident_wave wave) {
  const bool is_p = wave == incident_wave::p;
  const zd c1 = is_p ? per_up.m11 : per_up.m12;
  const zd c2 = is_p ? per_up.m21 : per_up.m22;
  const motion alone = join(w, {0.0, 0.0, is_p ? 1.0 : 0.0, is_p ? 0.0 : 1.0});
  return {
      .surface = {is_p ? to_surface.m11 : to_surface.m12, is_p ? to_surface.m21 : to_surface.m22},
      .base = {s.first.ux * c1 + s.second.ux * c2, s.first.uz * c1 + s.second.uz * c2},
      .incident = {alone.ux, alone.uz},
  };
}

}  // namespace

psv_row psv_row_of(const damped_row& row, double p) {
  const zd eta_p = vertical_slowness(row.vp, p);
  const zd eta_s = vertical_slowness(row.vs, p);
  const zd two_b2p = 2.0 * row.vs * row.vs * p;
  return {
      .p = p,
      .density = row.density,
      .inv_density = 1.0 / row.density,
      .eta_p = eta_p,
      .eta_s = eta_s,
      .inv_eta_p = reciprocal(eta_p),
      .inv_eta_s = reciprocal(eta_s),
      .gamma = 1.0 - two_b2p * p,
      .two_b2p = two_b2p,
      .shear_p = two_b2p * eta_p,
      .shear_s = two_b2p * eta_s,
  };
}

psv_terms psv_terms_of(const damped_row& row, double p, double omega) {
  const psv_row w = psv_row_of(row, p);
  return {w, crossing(w.eta_p, omega, row.thickness), crossing(w.eta_s, omega, row.thickness)};
}

psv_motion psv_through(std::span<const psv_terms> rows, incident_wave wave) {
  if (rows.empty()) return {};
  stack_state s;
  for (std::size_t j = 0;; ++j) {
    const psv_row& w = rows[j].row;
    const waves a = split(w, s.first);
    const waves b = split(w, s.second);
    const mat2 per_up = inverse({a.up_p, b.up_p, a.up_s, b.up_s});
    const mat2 to_surface = s.to_surface * per_up;  // per unit up-going waves at the top of row j
    if (j + 1 == rows.size()) return in_half_space(w, s, per_up, to_surface, wave);
    s = below(rows[j], a, b, per_up, to_surface);
  }
}

psv_motion psv_response(std::span<const damped_row> rows, double p, double omega,
                        incident_wave wave) {
  std::vector<psv_terms> terms(rows.size());
  for (std::size_t j = 0; j + 1 < rows.size(); ++j) terms[j] = psv_terms_of(rows[j], p, omega);
  if (!rows.empty()) terms.back() = {psv_row_of(rows.back(), p), 1.0, 1.0};
  return psv_through(terms, wave);
}

}  // namespace sitewave::exact
