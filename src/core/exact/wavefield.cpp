// The SH wave field of the layered ground at one frequency: a pass down from
// the free surface finds each row's reflection (its down-going over its
// up-going wave at the top) and how its up-going wave follows from the one
// below; a pass back up from a unit incident wave turns them into amplitudes.
#include "core/exact/wavefield.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "core/exact/vertical_slowness.hpp"

namespace sitewave::exact {

namespace {

using zd = std::complex<double>;

[[noreturn]] void refuse(const std::string& what) {
  throw std::invalid_argument("wave field: " + what);
}

}  // namespace

sh_layer sh_layer_of(const damped_row& row, double p) {
  return {vertical_slowness(row.vs, p), row.density * row.vs * row.vs, row.thickness};
}

row_depth locate(std::span<const layer_row> rows, double depth) {
  if (rows.empty()) refuse("no layer rows: at least the half-space is expected");
  if (!(std::isfinite(depth) && depth >= 0.0)) {
    refuse("depth " + std::to_string(depth) + " m: a finite value of zero or more is expected");
  }
  double top = 0.0;
  for (std::size_t j = 0; j + 1 < rows.size(); ++j) {
    const double h = rows[j].thickness;
    if (depth < top + h) return {j, std::clamp(depth - top, 0.0, h)};
    top += h;
  }
  return {rows.size() - 1, depth - top};
}

void sh_wavefield::solve(std::span<const damped_row> rows, double p, double omega) {
  std::vector<sh_layer> layers(rows.size());
  for (std::size_t j = 0; j < rows.size(); ++j) layers[j] = sh_layer_of(rows[j], p);
  solve(layers, p, omega);
}

void sh_wavefield::solve(std::span<const sh_layer> layers, double p, double omega) {
  if (layers.empty()) refuse("no layer rows: at least the half-space is expected");
  omega_ = omega;
  p_ = p;
  const std::size_t n = layers.size();
  rows_.resize(n);
  // Down the stack. In row j, per unit up-going wave at its bottom (b_j), the
  // up-going wave at its top is e_j and the down-going one r_j·e_j, r_j the
  // reflection of the stack above seen from the top of row j (1 at the free
  // surface). The pass keeps r_j in `down` and b_j / b_(j+1) in `up`.
  const auto copy = [&](std::size_t j) {
    const sh_layer& l = layers[j];
    row_state& r = rows_[j];
    r.eta = l.eta;
    r.modulus = l.modulus;
    r.thickness = l.thickness;
    r.half = j + 1 == n ? zd(1.0) : crossing(l.eta, omega, 0.5 * l.thickness);
    r.cross = r.half * r.half;
  };
  copy(0);
  zd reflection = 1.0;
  for (std::size_t j = 0;; ++j) {
    row_state& r = rows_[j];
    r.down = reflection;
    if (j + 1 == n) break;
    copy(j + 1);
    const row_state& next = rows_[j + 1];
    // Displacement and traction/(−iωZ_(j+1)) at the bottom of row j per unit
    // b_j, carried across the interface and split into the waves of row j + 1.
    const zd bottom_reflection = r.cross * reflection * r.cross;
    const zd u = 1.0 + bottom_reflection;
    const zd t = (bottom_reflection - 1.0) * ((r.modulus * r.eta) / (next.modulus * next.eta));
    const zd up_next = 0.5 * (u - t);
    reflection = 0.5 * (u + t) / up_next;
    // b_j per unit b_(j+1): the up-going wave at the top of row j + 1 is
    // e_(j+1)·b_(j+1) (the half-space's is referred to its top already).
    r.up = next.cross / up_next;
  }
  // Back up from a unit incident wave.
  zd b = 1.0;
  rows_[n - 1].up = 1.0;
  for (std::size_t j = n - 1; j-- > 0;) {
    row_state& r = rows_[j];
    b *= r.up;
    r.up = b;
    r.down = r.down * r.cross * b;
  }
}

sh_point sh_wavefield::point(const row_state& r, zd down, zd up) const {
  const zd u = down + up;
  // ∂/∂z of e^(−iωηz) is −iωη, of the up-going e^(+iωηz) is +iωη.
  const zd strain_yz = zd(0.0, -omega_) * r.eta * (down - up);
  return {
      .displacement = u,
      .strain_yz = strain_yz,
      .strain_xy = zd(0.0, -omega_ * p_) * u,
      .stress_yz = r.modulus * strain_yz,
      .outcrop = 2.0 * up,
  };
}

sh_point sh_wavefield::at(std::size_t row, double z) const {
  if (row >= rows_.size()) {
    refuse("row " + std::to_string(row + 1) + " of a field of " + std::to_string(rows_.size()) +
           " rows");
  }
  const row_state& r = rows_[row];
  if (row + 1 == rows_.size()) {
    if (!(std::isfinite(z) && z >= 0.0)) {
      refuse("depth " + std::to_string(z) + " m in the half-space: zero or more is expected");
    }
    const zd f = crossing(r.eta, omega_, z);
    return point(r, r.down * f, r.up / f);
  }
  if (!(z >= 0.0 && z <= r.thickness)) {
    refuse("depth " + std::to_string(z) + " m in row " + std::to_string(row + 1) + ": from 0 to " +
           std::to_string(r.thickness) + " m is expected");
  }
  return point(r, r.down * crossing(r.eta, omega_, z),
               r.up * crossing(r.eta, omega_, r.thickness - z));
}

sh_point sh_wavefield::at_depth(double depth) const {
  if (!(std::isfinite(depth) && depth >= 0.0)) {
    refuse("depth " + std::to_string(depth) + " m: a finite value of zero or more is expected");
  }
  double top = 0.0;
  for (std::size_t j = 0; j + 1 < rows_.size(); ++j) {
    const double h = rows_[j].thickness;
    if (depth < top + h) return at(j, std::clamp(depth - top, 0.0, h));
    top += h;
  }
  return at(rows_.size() - 1, depth - top);
}

sh_point sh_wavefield::top(std::size_t row) const {
  const row_state& r = rows_[row];
  return point(r, r.down, r.up * r.cross);
}

sh_point sh_wavefield::middle(std::size_t row) const {
  const row_state& r = rows_[row];
  return point(r, r.down * r.half, r.up * r.half);
}

zd sh_wavefield::reference(input_kind kind) const {
  switch (kind) {
    case input_kind::incident:
      return 1.0;
    case input_kind::within:
      return rows_.back().down + rows_.back().up;
    case input_kind::outcrop:
      return 2.0;
  }
  return 1.0;
}

}  // namespace sitewave::exact
