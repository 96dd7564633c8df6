// Reference solution of the P-SV response by one linear system per frequency:
// four wave amplitudes per layer and the two reflected waves of the
// half-space, tied by continuity of displacement and traction at every
// interface and a traction-free surface, solved by Gaussian elimination in
// long double. Stresses come from Hooke's law with the Lamé constants.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <span>
#include <utility>
#include <vector>

#include "core/exact/exact_transfer.hpp"

namespace sitewave::exact::reference {

using zl = std::complex<long double>;

// Displacement (x along the horizontal propagation, z down) and traction.
struct plane_motion {
  zl ux, uz, tx, tz;
};

struct medium {
  long double density;
  zl vp, vs;
  long double thickness;
};

inline medium medium_at(const layer_row& r, long double hertz) {
  auto q_at = [hertz](long double q0, long double f) {
    return std::max(q0, q0 * std::pow(hertz, f));
  };
  auto damped = [](long double v, long double q) { return v * zl(1.0L, 0.5L / q); };
  return {r.density, damped(r.vp, q_at(r.qp, r.fp)), damped(r.vs, q_at(r.qs, r.fs)), r.thickness};
}

// Vertical slowness that decays (or, undamped, travels) downwards.
inline zl downward_slowness(zl v, long double p) {
  const zl s = std::sqrt(1.0L / (v * v) - p * p);
  return s.imag() > 0.0L ? -s : s;
}

// Motion of a unit plane wave at its reference depth: P polarised along its
// slowness (p, s), SV across it, (s, −p); s > 0 down-going.
inline plane_motion wave_motion(const medium& m, long double p, bool is_p, bool down) {
  const zl eta = downward_slowness(is_p ? m.vp : m.vs, p);
  const zl s = down ? eta : -eta;
  const zl dx = is_p ? p * m.vp : s * m.vs;
  const zl dz = is_p ? s * m.vp : -p * m.vs;
  const zl mu = m.density * m.vs * m.vs;
  const zl lambda = m.density * m.vp * m.vp - 2.0L * mu;
  // σ/(−iω) with ∂/∂x = −iωp and ∂/∂z = −iωs.
  return {dx, dz, mu * (s * dx + p * dz), lambda * (p * dx + s * dz) + 2.0L * mu * s * dz};
}

inline zl crossing_factor(const medium& m, long double p, bool is_p, long double omega) {
  const zl eta = downward_slowness(is_p ? m.vp : m.vs, p);
  return std::exp(zl(0.0L, -omega * m.thickness) * eta);
}

struct response {
  zl surface_x, surface_z, base_x, base_z, incident_x, incident_z;
};

// x = A⁻¹b by elimination with partial pivoting; A is n×n, row by row.
inline std::vector<zl> solve(std::vector<zl> a, std::vector<zl> b) {
  const std::size_t n = b.size();
  for (std::size_t c = 0; c < n; ++c) {
    std::size_t pivot = c;
    for (std::size_t r = c + 1; r < n; ++r) {
      if (std::abs(a[r * n + c]) > std::abs(a[pivot * n + c])) pivot = r;
    }
    for (std::size_t k = 0; k < n; ++k) std::swap(a[c * n + k], a[pivot * n + k]);
    std::swap(b[c], b[pivot]);
    for (std::size_t r = c + 1; r < n; ++r) {
      const zl f = a[r * n + c] / a[c * n + c];
      if (f == zl(0.0L)) continue;
      for (std::size_t k = c; k < n; ++k) a[r * n + k] -= f * a[c * n + k];
      b[r] -= f * b[c];
    }
  }
  std::vector<zl> x(n);
  for (std::size_t c = n; c-- > 0;) {
    zl sum = b[c];
    for (std::size_t k = c + 1; k < n; ++k) sum -= a[c * n + k] * x[k];
    x[c] = sum / a[c * n + c];
  }
  return x;
}

// Unit incident wave (P or SV) from the half-space at angular frequency
// omega and horizontal slowness p. Unknowns per layer: down-going P, SV at
// the layer's top, up-going P, SV at its bottom; then the down-going P, SV of
// the half-space at its top.
inline response psv_global(std::span<const layer_row> rows, long double p, long double omega,
                           bool incident_p) {
  const long double hertz = omega / (2.0L * 3.14159265358979323846264338327950288L);
  std::vector<medium> media;
  for (const layer_row& r : rows) media.push_back(medium_at(r, hertz));
  const std::size_t layers = media.size() - 1;
  const std::size_t n = 4 * layers + 2;
  std::vector<zl> a(n * n);
  std::vector<zl> b(n);
  const auto component = [](const plane_motion& m, int k) {
    return k == 0 ? m.ux : k == 1 ? m.uz : k == 2 ? m.tx : m.tz;
  };
  // Adds to equation rows [row, row + 4) the motion at the top (or bottom) of
  // medium j of its wave amplitudes, times sign; only traction rows when
  // first_component is 2.
  const auto add_medium = [&](std::size_t row, int first_component, std::size_t j, bool at_top,
                              long double sign) {
    const medium& m = media[j];
    const bool half = j == layers;
    for (int w = 0; w < (half ? 2 : 4); ++w) {
      const bool is_p = w % 2 == 0;
      const bool down = w < 2;
      const plane_motion wm = wave_motion(m, p, is_p, down);
      const bool referred_here = half || (down == at_top);
      const zl phase = referred_here ? zl(1.0L) : crossing_factor(m, p, is_p, omega);
      for (int k = first_component; k < 4; ++k) {
        a[(row + static_cast<std::size_t>(k - first_component)) * n + 4 * j +
          static_cast<std::size_t>(w)] += sign * phase * component(wm, k);
      }
    }
    if (half) {
      const plane_motion inc = wave_motion(m, p, incident_p, false);
      for (int k = first_component; k < 4; ++k) {
        b[row + static_cast<std::size_t>(k - first_component)] -= sign * component(inc, k);
      }
    }
  };
  add_medium(0, 2, 0, true, 1.0L);
  for (std::size_t j = 0; j < layers; ++j) {
    add_medium(2 + 4 * j, 0, j, false, 1.0L);
    add_medium(2 + 4 * j, 0, j + 1, true, -1.0L);
  }
  const std::vector<zl> x = solve(std::move(a), std::move(b));

  // Motion at the top of medium j from the solution.
  const auto top_motion = [&](std::size_t j) {
    const medium& m = media[j];
    const bool half = j == layers;
    plane_motion total{};
    for (int w = 0; w < (half ? 2 : 4); ++w) {
      const bool is_p = w % 2 == 0;
      const bool down = w < 2;
      const plane_motion wm = wave_motion(m, p, is_p, down);
      const zl phase = (half || down) ? zl(1.0L) : crossing_factor(m, p, is_p, omega);
      const zl amp = x[4 * j + static_cast<std::size_t>(w)] * phase;
      total.ux += amp * wm.ux;
      total.uz += amp * wm.uz;
    }
    if (half) {
      const plane_motion inc = wave_motion(m, p, incident_p, false);
      total.ux += inc.ux;
      total.uz += inc.uz;
    }
    return total;
  };
  const plane_motion surface = top_motion(0);
  const plane_motion base = top_motion(layers);
  const plane_motion inc = wave_motion(media[layers], p, incident_p, false);
  return {surface.ux, surface.uz, base.ux, base.uz, inc.ux, inc.uz};
}

}  // namespace sitewave::exact::reference
