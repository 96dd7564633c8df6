// The exact tables as they were computed before their blocked, explicit
// arithmetic: every line damps every row on its own and runs the recursions
// with the library's complex division, square root and exponential. Kept
// verbatim (only renamed into its own namespace, one call qualified) so that the benchmarks can
// time the present tables against it and a test can hold them to its values.
#include "reference/exact_before.hpp"

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "core/exact/model_checks.hpp"

namespace sitewave::exact_before {

using exact::layer_row;
using exact::transfer_at;
using exact::check_model;

// ---- damping

double quality_at(double q0, double growth, double hertz) {
  // At zero frequency an infinite Q0 times 0^growth is NaN; the comparison
  // then keeps Q0.
  const double q = q0 * std::pow(hertz, growth);
  return q > q0 ? q : q0;
}

std::complex<double> damped_velocity(double v, double q) {
  return {v, v * (0.5 / q)};
}

damped_row damp(const layer_row& row, double hertz) {
  return {
      .density = row.density,
      .vp = damped_velocity(row.vp, quality_at(row.qp, row.fp, hertz)),
      .vs = damped_velocity(row.vs, quality_at(row.qs, row.fs, hertz)),
      .thickness = row.thickness,
  };
}

// ---- vertical_slowness

std::complex<double> vertical_slowness(std::complex<double> v, double p) {
  // A damped velocity puts η² strictly below the real axis, where the
  // principal root already decays downwards; only an undamped evanescent row
  // lands on the branch cut, whose principal root +i·√ would grow.
  const std::complex<double> eta = std::sqrt(1.0 / (v * v) - p * p);
  return eta.imag() > 0.0 ? -eta : eta;
}

std::complex<double> crossing(std::complex<double> eta, double omega, double h) {
  // Formed from its parts so that zero thickness or zero frequency give
  // exactly 1 whatever η is.
  const double wh = omega * h;
  return std::exp(std::complex<double>(wh * eta.imag(), -wh * eta.real()));
}

// ---- sh_recursion

namespace {
using zd = std::complex<double>;
}  // namespace

sh_columns sh_response(std::span<const damped_row> rows, double p, double omega) {
  if (rows.empty()) return {};
  // Displacement and traction/(−iω) at the top of the current row, per unit
  // of a free amplitude: the surface motion in the first row, and the
  // up-going wave at the bottom of the row above in every other.
  zd u = 1.0;
  zd t = 0.0;
  zd to_surface = 1.0;  // surface motion per unit of that free amplitude
  for (std::size_t j = 0;; ++j) {
    const damped_row& row = rows[j];
    const zd eta = vertical_slowness(row.vs, p);
    const zd impedance = row.density * row.vs * row.vs * eta;
    const zd difference = t / impedance;  // down-going minus up-going
    const zd up = 0.5 * (u - difference);
    const zd down = 0.5 * (u + difference);
    to_surface /= up;  // now per unit up-going wave at the top of row j
    if (j + 1 == rows.size()) return {to_surface, to_surface * (up / u)};
    const zd reflection = down / up;
    const zd e = crossing(eta, omega, row.thickness);
    to_surface *= e;  // per unit up-going wave at the bottom of row j
    const zd reflection_below = e * reflection * e;
    u = 1.0 + reflection_below;
    t = impedance * (reflection_below - 1.0);
  }
}

// ---- psv_recursion

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
  const zd r = 1.0 / (a.m11 * a.m22 - a.m12 * a.m21);
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

// What the plane waves of one row need at slowness p.
struct psv_row {
  double p, density, inv_density, thickness;
  zd eta_p, eta_s, inv_eta_p, inv_eta_s;
  zd gamma;    // 1 − 2β²p², β the complex S velocity
  zd two_b2p;  // 2β²p
  zd shear_p;  // 2β²p·η_P
  zd shear_s;  // 2β²p·η_S
};

psv_row psv_row_of(const damped_row& row, double p) {
  const zd eta_p = vertical_slowness(row.vp, p);
  const zd eta_s = vertical_slowness(row.vs, p);
  const zd two_b2p = 2.0 * row.vs * row.vs * p;
  return {
      .p = p,
      .density = row.density,
      .inv_density = 1.0 / row.density,
      .thickness = row.thickness,
      .eta_p = eta_p,
      .eta_s = eta_s,
      .inv_eta_p = 1.0 / eta_p,
      .inv_eta_s = 1.0 / eta_s,
      .gamma = 1.0 - two_b2p * p,
      .two_b2p = two_b2p,
      .shear_p = two_b2p * eta_p,
      .shear_s = two_b2p * eta_s,
  };
}

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
// fields in row w; per_up turns unit up-going waves at its top into the free
// amplitudes, and to_surface already includes it.
stack_state below(const psv_row& w, const waves& a, const waves& b, const mat2& per_up,
                  const mat2& to_surface, double omega) {
  const mat2 reflection = mat2{a.down_p, b.down_p, a.down_s, b.down_s} * per_up;
  const zd ep = crossing(w.eta_p, omega, w.thickness);
  const zd es = crossing(w.eta_s, omega, w.thickness);
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

psv_motion psv_response(std::span<const damped_row> rows, double p, double omega,
                        incident_wave wave) {
  if (rows.empty()) return {};
  stack_state s;
  for (std::size_t j = 0;; ++j) {
    const psv_row w = psv_row_of(rows[j], p);
    const waves a = split(w, s.first);
    const waves b = split(w, s.second);
    const mat2 per_up = inverse({a.up_p, b.up_p, a.up_s, b.up_s});
    const mat2 to_surface = s.to_surface * per_up;  // per unit up-going waves at the top of row j
    if (j + 1 == rows.size()) return in_half_space(w, s, per_up, to_surface, wave);
    s = below(w, a, b, per_up, to_surface, omega);
  }
}

// ---- exact_transfer

namespace {

using zd = std::complex<double>;

constexpr double two_pi = 2.0 * std::numbers::pi;

// Lines per block handed to a thread: enough to hide the hand-out.
constexpr std::size_t lines_per_block = 64;

// Horizontal slownesses of the incident SH and P waves, set by the undamped
// velocities of the half-space.
struct slownesses {
  double sh, p;
};

slownesses slowness_of(std::span<const layer_row> rows, double theta) {
  const double s = std::sin(theta);
  return {s / rows.back().vs, s / rows.back().vp};
}

// One line for omega ≥ 0; scratch holds one damped row per row.
transfer_at transfer_with(std::span<const layer_row> rows, slownesses s, double omega,
                          std::span<damped_row> scratch) {
  const double hertz = omega / two_pi;
  for (std::size_t i = 0; i < rows.size(); ++i) scratch[i] = exact_before::damp(rows[i], hertz);
  const std::span<const damped_row> damped = scratch;
  const sh_columns sh = sh_response(damped, s.sh, omega);
  const psv_motion psv = psv_response(damped, s.p, omega, incident_wave::p);
  const psv_motion alone = psv_response(damped.last(1), s.p, omega, incident_wave::p);
  // The radial columns divide by vertical motion counted upwards.
  const zd incident_up = -psv.incident.z;
  const zd base_up = -psv.base.z;
  return {
      .sh_incident = sh.incident,
      .sh_within = sh.within,
      .vertical_incident = psv.surface.z / psv.incident.z,
      .vertical_within = psv.surface.z / psv.base.z,
      .radial_incident = psv.surface.x / incident_up,
      .radial_within = psv.surface.x / base_up,
      .vertical_free_surface = alone.surface.z / alone.incident.z,
  };
}

transfer_at conjugate(const transfer_at& t) {
  return {std::conj(t.sh_incident),          std::conj(t.sh_within),
          std::conj(t.vertical_incident),    std::conj(t.vertical_within),
          std::conj(t.radial_incident),      std::conj(t.radial_within),
          std::conj(t.vertical_free_surface)};
}

}  // namespace

void exact_transfer(std::span<const layer_row> rows, double theta, double dom,
                    std::span<transfer_at> out, const work_control& control) {
  check_model(rows, theta);
  if (!(std::isfinite(dom) && dom >= 0.0)) {
    throw std::invalid_argument("exact transfer: frequency step " + std::to_string(dom) +
                                ": a finite value of zero or more is expected");
  }
  const slownesses s = slowness_of(rows, theta);
  for_each_block(out.size(), lines_per_block, control, [&](std::size_t first, std::size_t last) {
    std::vector<damped_row> scratch(rows.size());
    for (std::size_t k = first; k < last; ++k) {
      out[k] = transfer_with(rows, s, static_cast<double>(k) * dom, scratch);
    }
  });
}

transfer_at exact_transfer_at(std::span<const layer_row> rows, double theta, double omega) {
  check_model(rows, theta);
  if (!std::isfinite(omega)) {
    throw std::invalid_argument("exact transfer: angular frequency " + std::to_string(omega) +
                                ": a finite value is expected");
  }
  std::vector<damped_row> scratch(rows.size());
  const slownesses s = slowness_of(rows, theta);
  if (omega < 0.0) return conjugate(transfer_with(rows, s, -omega, scratch));
  return transfer_with(rows, s, omega, scratch);
}

}  // namespace sitewave::exact_before
