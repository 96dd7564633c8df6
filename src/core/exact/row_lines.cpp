// The steps of vertical_slowness, sh_impedance, psv_row_of and reciprocal in
// line_arithmetic.hpp's plain forms, written once over vector lanes: the
// same products, sums, divisions and roots in the same order, the branches
// taken as exact selections. Each lane records whether every value stayed in
// the plain range; a lane that did not is formed again by the scalar forms,
// which then take the library's careful paths.
#include "core/exact/row_lines.hpp"

#include <cmath>
#include <complex>
#include <cstdint>

#include "core/exact/complex_lanes.hpp"
#include "core/exact/interleaved_lines.hpp"
#include "core/exact/line_arithmetic.hpp"
#include "core/exact/vertical_slowness.hpp"
#include "core/response/simd_path.hpp"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace sitewave::exact {

namespace {

using lanes::cv;
using lanes::in_plain_range;
using lanes::mask;
using lanes::pick;
using lanes::V;
using lanes::width;
using response::lanes2;
using response::magnitude;
using response::splat;
constexpr std::size_t vectors = max_interleaved_lines / width;
static_assert(max_interleaved_lines % width == 0);

// The square roots of the lanes on the x86-64 baseline, two SSE2 ones, or
// in one AVX instruction.
struct baseline_root {
  [[gnu::always_inline]] static V of(V x) {
#if defined(__SSE2__)
    lanes2 half[2];
    __builtin_memcpy(half, &x, sizeof x);
    half[0] = _mm_sqrt_pd(half[0]);
    half[1] = _mm_sqrt_pd(half[1]);
    __builtin_memcpy(&x, half, sizeof x);
    return x;
#else
    return V{std::sqrt(x[0]), std::sqrt(x[1]), std::sqrt(x[2]), std::sqrt(x[3])};
#endif
  }
};
#if defined(__x86_64__)
struct avx2_root {
  // Called, not inlined: the functions between are built for the baseline.
  // The lanes go by reference, as a baseline caller and an AVX callee would
  // pass a 32-byte vector by value in different places.
  [[gnu::target("avx2"), gnu::noinline]] static void root_into(const V& x, V& root) {
    root = _mm256_sqrt_pd(x);
  }
  [[gnu::always_inline]] static V of(V x) {
    V root;
    root_into(x, root);
    return root;
  }
};
#endif

[[gnu::always_inline]] inline V with_sign_of(V x, V sign) {
  const mask sign_bit = mask{} + INT64_MIN;
  return reinterpret_cast<V>((reinterpret_cast<mask>(magnitude(x))) |
                             (reinterpret_cast<mask>(sign) & sign_bit));
}

[[gnu::always_inline]] inline cv scaled(V x, cv a) {
  return {x * a.re, x * a.im};
}

// quotient(1, b) as line_arithmetic.hpp forms it for a = 1.
[[gnu::always_inline]] inline cv inverse_of(cv b, mask& plain) {
  const mask small = magnitude(b.re) < magnitude(b.im);
  const V n = pick(small, b.re, b.im), m = pick(small, b.im, b.re);
  const V ratio = n / m;
  plain &= in_plain_range(b) & ~((ratio != 0.0) & (magnitude(ratio) <= 0x1p-1022));
  const V denom = n * ratio + m;
  const V one = splat<V>(1.0), zero = splat<V>(0.0);
  return {pick(small, one * ratio + zero, zero * ratio + one) / denom,
          pick(small, zero * ratio - one, zero - one * ratio) / denom};
}

template <class Root>
[[gnu::always_inline]] inline cv principal_root(cv z, mask& plain) {
  plain &= in_plain_range(z);
  const V m = Root::of(z.re * z.re + z.im * z.im);
  const mask positive = z.re > 0.0;
  const V t = Root::of(0.5 * (m + pick(positive, z.re, -z.re)));
  const V u = 0.5 * (z.im / t);
  return {pick(positive, t, magnitude(u)), with_sign_of(pick(positive, u, t), z.im)};
}

template <class Root>
[[gnu::always_inline]] inline cv vertical_slowness(cv v, V pp, mask& plain) {
  const cv w = inverse_of(v * v, plain);
  const cv eta = principal_root<Root>({w.re - pp, w.im}, plain);
  const mask flip = eta.im > 0.0;
  return {pick(flip, -eta.re, eta.re), pick(flip, -eta.im, eta.im)};
}

[[gnu::always_inline]] inline cv plain_reciprocal(cv b, mask& plain) {
  plain &= in_plain_range(b);
  const V s = 1.0 / (b.re * b.re + b.im * b.im);
  return {b.re * s, -b.im * s};
}

// The lines' values of one row, lanes beyond the lines copies of line 0.
struct row_lanes {
  cv vp[vectors], vs[vectors];
  V omega[vectors];
  V density, thickness, p, pp;
  std::size_t lines;

  // The damped velocities as damped_velocity forms them, in lanes.
  row_lanes(const row_at_lines& row, bool with_p, double p_) : lines(row.lines()) {
    double values[3][max_interleaved_lines];
    for (std::size_t l = 0; l < max_interleaved_lines; ++l) {
      const std::size_t from = l < lines ? l : 0;
      values[0][l] = with_p ? row.qp[from] : 1.0;
      values[1][l] = row.qs[from];
      values[2][l] = row.omega[from];
    }
    const layer_row& r = row.row;
    for (std::size_t k = 0; k < vectors; ++k) {
      const std::size_t at = k * width;
      const V qp = response::load_lanes<V>(&values[0][at]);
      const V qs = response::load_lanes<V>(&values[1][at]);
      vp[k] = {splat<V>(r.vp), splat<V>(r.vp) * (0.5 / qp)};
      vs[k] = {splat<V>(r.vs), splat<V>(r.vs) * (0.5 / qs)};
      omega[k] = response::load_lanes<V>(&values[2][at]);
    }
    density = splat<V>(r.density);
    thickness = splat<V>(r.thickness);
    p = splat<V>(p_);
    pp = splat<V>(p_ * p_);
  }
};

[[gnu::always_inline]] inline std::complex<double> lane(cv z, std::size_t l) {
  return z[l];
}

[[gnu::always_inline]] inline bool is_plain(mask m, std::size_t l) {
  return m[l] != 0;
}

// crossing(eta, omega, h): the exponent in lanes, the exponential per line.
[[gnu::always_inline]] inline std::complex<double> crossing_at(cv eta, V omega, V thickness, std::size_t l) {
  const V wh = omega * thickness;
  const V x = wh * eta.im;
  const V y = -wh * eta.re;
  return exp_of_parts(x[l], y[l]);
}

template <class Root>
[[gnu::always_inline]] inline void sh_lines(const row_at_lines& row, double p, bool crossed,
                                            std::span<sh_terms> out) {
  const row_lanes r(row, false, p);
  for (std::size_t k = 0; k < vectors && k * width < r.lines; ++k) {
    mask plain = mask{} - 1;
    const cv eta = vertical_slowness<Root>(r.vs[k], r.pp, plain);
    const cv impedance = scaled(r.density, r.vs[k]) * r.vs[k] * eta;
    const cv inv = plain_reciprocal(impedance, plain);
    for (std::size_t j = 0; j < width && k * width + j < r.lines; ++j) {
      const std::size_t l = k * width + j;
      if (!is_plain(plain, j)) {
        const damped_row d = row.damped(l);
        out[l] = crossed ? sh_terms_of(d, p, row.omega[l])
                         : sh_impedance(d, exact::vertical_slowness(d.vs, p));
        continue;
      }
      out[l] = {lane(impedance, j), lane(inv, j),
                crossed ? crossing_at(eta, r.omega[k], r.thickness, j) : 1.0};
    }
  }
}

template <class Root>
[[gnu::always_inline]] inline void psv_lines(const row_at_lines& row, double p, bool crossed,
                                             std::span<psv_terms> out) {
  const row_lanes r(row, true, p);
  const double inv_density = 1.0 / row.row.density;
  for (std::size_t k = 0; k < vectors && k * width < r.lines; ++k) {
    mask plain = mask{} - 1;
    const cv eta_p = vertical_slowness<Root>(r.vp[k], r.pp, plain);
    const cv eta_s = vertical_slowness<Root>(r.vs[k], r.pp, plain);
    const cv two_b2p0 = scaled(splat<V>(2.0), r.vs[k]) * r.vs[k];
    const cv two_b2p = {two_b2p0.re * r.p, two_b2p0.im * r.p};
    const cv inv_p = plain_reciprocal(eta_p, plain);
    const cv inv_s = plain_reciprocal(eta_s, plain);
    const cv gamma = {1.0 - two_b2p.re * r.p, -(two_b2p.im * r.p)};
    const cv shear_p = two_b2p * eta_p;
    const cv shear_s = two_b2p * eta_s;
    for (std::size_t j = 0; j < width && k * width + j < r.lines; ++j) {
      const std::size_t l = k * width + j;
      if (!is_plain(plain, j)) {
        const damped_row d = row.damped(l);
        out[l] = crossed ? psv_terms_of(d, p, row.omega[l])
                         : psv_terms{psv_row_of(d, p), 1.0, 1.0};
        continue;
      }
      psv_terms& t = out[l];
      t.row = {.p = p,
               .density = row.row.density,
               .inv_density = inv_density,
               .eta_p = lane(eta_p, j),
               .eta_s = lane(eta_s, j),
               .inv_eta_p = lane(inv_p, j),
               .inv_eta_s = lane(inv_s, j),
               .gamma = lane(gamma, j),
               .two_b2p = lane(two_b2p, j),
               .shear_p = lane(shear_p, j),
               .shear_s = lane(shear_s, j)};
      t.crossing_p = crossed ? crossing_at(eta_p, r.omega[k], r.thickness, j) : 1.0;
      t.crossing_s = crossed ? crossing_at(eta_s, r.omega[k], r.thickness, j) : 1.0;
    }
  }
}

void sh_lines_baseline(const row_at_lines& row, double p, bool crossed, std::span<sh_terms> out) {
  sh_lines<baseline_root>(row, p, crossed, out);
}
void psv_lines_baseline(const row_at_lines& row, double p, bool crossed,
                        std::span<psv_terms> out) {
  psv_lines<baseline_root>(row, p, crossed, out);
}
#if defined(__x86_64__)
[[gnu::target("avx2")]] void sh_lines_avx2(const row_at_lines& row, double p, bool crossed,
                                           std::span<sh_terms> out) {
  sh_lines<avx2_root>(row, p, crossed, out);
}
[[gnu::target("avx2")]] void psv_lines_avx2(const row_at_lines& row, double p, bool crossed,
                                            std::span<psv_terms> out) {
  psv_lines<avx2_root>(row, p, crossed, out);
}
#endif

bool has_avx2() {
  return response::runs_on_this_machine(response::simd_path::avx2);
}

}  // namespace

void sh_terms_of_lines(const row_at_lines& row, double p, bool crossed, std::span<sh_terms> out) {
#if defined(__x86_64__)
  if (has_avx2()) return sh_lines_avx2(row, p, crossed, out);
#endif
  sh_lines_baseline(row, p, crossed, out);
}

void psv_terms_of_lines(const row_at_lines& row, double p, bool crossed,
                        std::span<psv_terms> out) {
#if defined(__x86_64__)
  if (has_avx2()) return psv_lines_avx2(row, p, crossed, out);
#endif
  psv_lines_baseline(row, p, crossed, out);
}

}  // namespace sitewave::exact
