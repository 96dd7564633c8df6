// Coupled P-SV recursion from the free surface down, carried as reflection
// matrices (the down-going P and SV waves a row receives from the stack above
// per unit of its up-going ones) rather than as a product of layer matrices.
// Down-going waves are referred to the top of their row and up-going waves to
// its bottom, so the only exponentials are e^(−iωηh), never larger than 1:
// the growing and decaying solutions that ruin a plain layer-matrix product
// in thick or evanescent rows never meet.
#include "core/exact/psv_recursion.hpp"

#include <array>
#include <vector>

#include "core/exact/complex_lanes.hpp"
#include "core/exact/line_arithmetic.hpp"
#include "core/exact/vertical_slowness.hpp"
#include "core/response/simd_path.hpp"

namespace sitewave::exact {

namespace {

using zd = std::complex<double>;

// 2×2 complex matrix; columns are the two independent fields of the stack.
// Z is a complex number of one line, or of several side by side in lanes.
template <class Z>
struct mat2 {
  Z m11, m12, m21, m22;
};

// Complex products as the language forms them, which recover infinities
// from a product whose parts are both NaN, or in plain arithmetic, which
// agrees with that wherever such a NaN does not arise.
struct careful_product {
  using number = zd;
  static zd mul(zd a, zd b) { return a * b; }
  static zd inverse(zd b) { return reciprocal(b); }
};
struct plain_product {
  using number = zd;
  static zd mul(zd a, zd b) {
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
  }
  static zd inverse(zd b) { return reciprocal(b); }
};
// Four lines in lanes, the plain products of each.
struct lane_product {
  using number = lanes::cv;
  [[gnu::always_inline]] static lanes::cv mul(lanes::cv a, lanes::cv b) { return a * b; }
  [[gnu::always_inline]] static lanes::cv inverse(lanes::cv b) { return lanes::reciprocal(b); }
};

template <class M, class Z = typename M::number>
[[gnu::always_inline]] inline mat2<Z> product(const mat2<Z>& a, const mat2<Z>& b) {
  return {M::mul(a.m11, b.m11) + M::mul(a.m12, b.m21), M::mul(a.m11, b.m12) + M::mul(a.m12, b.m22),
          M::mul(a.m21, b.m11) + M::mul(a.m22, b.m21), M::mul(a.m21, b.m12) + M::mul(a.m22, b.m22)};
}

template <class M, class Z = typename M::number>
[[gnu::always_inline]] inline mat2<Z> inverse(const mat2<Z>& a) {
  const Z r = M::inverse(M::mul(a.m11, a.m22) - M::mul(a.m12, a.m21));
  return {M::mul(a.m22, r), M::mul(-a.m12, r), M::mul(-a.m21, r), M::mul(a.m11, r)};
}

// Displacement and traction/(−iω) on a horizontal plane, z downwards.
template <class Z>
struct motion {
  Z ux, uz, tx, tz;
};

// Amplitudes of the four plane waves of a row. A unit wave moves the ground
// by P down (p, η_P), P up (p, −η_P), SV down (η_S, −p), SV up (−η_S, −p).
template <class Z>
struct waves {
  Z down_p, down_s, up_p, up_s;
};

// The motion of given wave amplitudes, written with the sums and differences
// of the down- and up-going amplitudes of each wave type.
template <class M, class Row, class Z = typename M::number>
[[gnu::always_inline]] inline motion<Z> join(const Row& w, const waves<Z>& a) {
  const Z sum_p = a.down_p + a.up_p;
  const Z dif_p = a.down_p - a.up_p;
  const Z sum_s = a.down_s + a.up_s;
  const Z dif_s = a.down_s - a.up_s;
  return {
      .ux = w.p * sum_p + M::mul(w.eta_s, dif_s),
      .uz = M::mul(w.eta_p, dif_p) - w.p * sum_s,
      .tx = w.density * (M::mul(w.shear_p, dif_p) + M::mul(w.gamma, sum_s)),
      .tz = w.density * (M::mul(w.gamma, sum_p) - M::mul(w.shear_s, dif_s)),
  };
}

// The inverse of join, in closed form.
template <class M, class Row, class Z = typename M::number>
[[gnu::always_inline]] inline waves<Z> split(const Row& w, const motion<Z>& b) {
  const Z tx = b.tx * w.inv_density;
  const Z tz = b.tz * w.inv_density;
  const Z sum_p = M::mul(w.two_b2p, b.ux) + tz;
  const Z dif_p = M::mul(M::mul(w.gamma, b.uz) + w.p * tx, w.inv_eta_p);
  const Z sum_s = tx - M::mul(w.two_b2p, b.uz);
  const Z dif_s = M::mul(M::mul(w.gamma, b.ux) - w.p * tz, w.inv_eta_s);
  return {0.5 * (sum_p + dif_p), 0.5 * (sum_s + dif_s), 0.5 * (sum_p - dif_p),
          0.5 * (sum_s - dif_s)};
}

// What the recursion carries from row to row: the two fields at the top of
// the current row, per unit of two free amplitudes (the surface displacements
// in the first row, the up-going P and SV waves at the bottom of the row
// above in every other), and the surface displacement per unit of those.
template <class Z>
struct stack_state {
  motion<Z> first{1.0, 0.0, 0.0, 0.0};
  motion<Z> second{0.0, 1.0, 0.0, 0.0};
  mat2<Z> to_surface{1.0, 0.0, 0.0, 1.0};
};

// The state at the top of the next row. a and b are the waves of the two
// fields in the row; per_up turns unit up-going waves at its top into the free
// amplitudes, and to_surface already includes it.
template <class M, class Terms, class Z = typename M::number>
[[gnu::always_inline]] inline stack_state<Z> below(const Terms& row, const waves<Z>& a,
                                                   const waves<Z>& b, const mat2<Z>& per_up,
                                                   const mat2<Z>& to_surface) {
  const auto& w = row.row;
  const mat2<Z> reflection = product<M>({a.down_p, b.down_p, a.down_s, b.down_s}, per_up);
  const Z ep = row.crossing_p;
  const Z es = row.crossing_s;
  const auto crossed = [](Z x, Z r, Z y) { return M::mul(M::mul(x, r), y); };
  return {
      .first = join<M>(w, {crossed(ep, reflection.m11, ep), crossed(es, reflection.m21, ep), 1.0,
                           0.0}),
      .second = join<M>(w, {crossed(ep, reflection.m12, es), crossed(es, reflection.m22, es), 0.0,
                            1.0}),
      .to_surface = {M::mul(to_surface.m11, ep), M::mul(to_surface.m12, es),
                     M::mul(to_surface.m21, ep), M::mul(to_surface.m22, es)},
  };
}

// The motions for a unit incident wave once the recursion reaches the
// half-space w.
template <class Z>
struct displacement_of {
  Z x, z;
};
template <class Z>
struct motion_of {
  displacement_of<Z> surface, base, incident;
};

template <class M, class Row, class Z = typename M::number>
[[gnu::always_inline]] inline motion_of<Z> in_half_space(const Row& w, const stack_state<Z>& s,
                                                         const mat2<Z>& per_up,
                                                         const mat2<Z>& to_surface,
                                                         incident_wave wave) {
  const bool is_p = wave == incident_wave::p;
  const Z c1 = is_p ? per_up.m11 : per_up.m12;
  const Z c2 = is_p ? per_up.m21 : per_up.m22;
  const motion<Z> alone = join<M>(w, waves<Z>{0.0, 0.0, is_p ? 1.0 : 0.0, is_p ? 0.0 : 1.0});
  return {
      .surface = {is_p ? to_surface.m11 : to_surface.m12, is_p ? to_surface.m21 : to_surface.m22},
      .base = {M::mul(s.first.ux, c1) + M::mul(s.second.ux, c2),
               M::mul(s.first.uz, c1) + M::mul(s.second.uz, c2)},
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

namespace {

psv_motion to_motion(const motion_of<zd>& m) {
  return {{m.surface.x, m.surface.z}, {m.base.x, m.base.z}, {m.incident.x, m.incident.z}};
}

template <class M>
void through_lines(std::span<const psv_terms> terms, incident_wave wave, std::span<psv_motion> out) {
  const std::size_t lines = out.size();
  if (lines == 0 || terms.empty()) return;
  const std::size_t rows = terms.size() / lines;
  std::array<stack_state<zd>, max_interleaved_lines> state{};
  // Row by row, each line's step independent of the others'.
  for (std::size_t j = 0;; ++j) {
    for (std::size_t l = 0; l < lines; ++l) {
      const psv_terms& row = terms[j * lines + l];
      stack_state<zd>& s = state[l];
      const waves<zd> a = split<M>(row.row, s.first);
      const waves<zd> b = split<M>(row.row, s.second);
      const mat2<zd> per_up = inverse<M>({a.up_p, b.up_p, a.up_s, b.up_s});
      const mat2<zd> to_surface = product<M>(s.to_surface, per_up);  // per unit up-going waves at the top of row j
      if (j + 1 == rows) {
        out[l] = to_motion(in_half_space<M>(row.row, s, per_up, to_surface, wave));
      } else {
        s = below<M>(row, a, b, per_up, to_surface);
      }
    }
    if (j + 1 == rows) return;
  }
}

// A row's terms at four lines in lanes; lanes beyond the lines repeat the
// first line.
struct row_lanes {
  double p, density, inv_density;
  lanes::cv eta_p, eta_s, inv_eta_p, inv_eta_s, gamma, two_b2p, shear_p, shear_s;
};
struct terms_lanes {
  row_lanes row;
  lanes::cv crossing_p, crossing_s;
};

[[gnu::always_inline]] inline terms_lanes gather(std::span<const psv_terms> line_terms) {
  terms_lanes t;
  const psv_row& first = line_terms[0].row;
  t.row.p = first.p;
  t.row.density = first.density;
  t.row.inv_density = first.inv_density;
  for (std::size_t l = 0; l < lanes::width; ++l) {
    const psv_terms& x = line_terms[l < line_terms.size() ? l : 0];
    t.row.eta_p.set(l, x.row.eta_p);
    t.row.eta_s.set(l, x.row.eta_s);
    t.row.inv_eta_p.set(l, x.row.inv_eta_p);
    t.row.inv_eta_s.set(l, x.row.inv_eta_s);
    t.row.gamma.set(l, x.row.gamma);
    t.row.two_b2p.set(l, x.row.two_b2p);
    t.row.shear_p.set(l, x.row.shear_p);
    t.row.shear_s.set(l, x.row.shear_s);
    t.crossing_p.set(l, x.crossing_p);
    t.crossing_s.set(l, x.crossing_s);
  }
  return t;
}

// The lines side by side in lanes, each with the plain products'
// bits. A row's density and slowness are the same at every line.
[[gnu::always_inline]] inline void through_lanes(std::span<const psv_terms> terms,
                                                 incident_wave wave, std::span<psv_motion> out) {
  using M = lane_product;
  using Z = lanes::cv;
  const std::size_t lines = out.size();
  const std::size_t rows = terms.size() / lines;
  stack_state<Z> s{};
  for (std::size_t j = 0;; ++j) {
    const terms_lanes row = gather(terms.subspan(j * lines, lines));
    const waves<Z> a = split<M>(row.row, s.first);
    const waves<Z> b = split<M>(row.row, s.second);
    const mat2<Z> per_up = inverse<M>({a.up_p, b.up_p, a.up_s, b.up_s});
    const mat2<Z> to_surface = product<M>(s.to_surface, per_up);
    if (j + 1 == rows) {
      const motion_of<Z> m = in_half_space<M>(row.row, s, per_up, to_surface, wave);
      for (std::size_t l = 0; l < lines; ++l)
        out[l] = {{m.surface.x[l], m.surface.z[l]}, {m.base.x[l], m.base.z[l]},
                  {m.incident.x[l], m.incident.z[l]}};
      return;
    }
    s = below<M>(row, a, b, per_up, to_surface);
  }
}

void through_lanes_baseline(std::span<const psv_terms> terms, incident_wave wave,
                            std::span<psv_motion> out) {
  through_lanes(terms, wave, out);
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] void through_lanes_avx2(std::span<const psv_terms> terms,
                                                incident_wave wave, std::span<psv_motion> out) {
  through_lanes(terms, wave, out);
}
#endif

bool has_nan(const psv_motion& m) {
  for (const zd z : {m.surface.x, m.surface.z, m.base.x, m.base.z, m.incident.x, m.incident.z}) {
    if (std::isnan(z.real()) || std::isnan(z.imag())) return true;
  }
  return false;
}

}  // namespace

void psv_through_lines(std::span<const psv_terms> terms, incident_wave wave,
                       std::span<psv_motion> out) {
  const std::size_t lines = out.size();
  if (lines == 0 || terms.empty()) return;
  if (lines == 1) {
    through_lines<plain_product>(terms, wave, out);
  } else {
#if defined(__x86_64__)
    if (response::runs_on_this_machine(response::simd_path::avx2))
      through_lanes_avx2(terms, wave, out);
    else
#endif
      through_lanes_baseline(terms, wave, out);
  }
  // Plain products agree with the language's unless a NaN arose, and a NaN
  // stays to the end: such a line is formed again with careful products.
  for (std::size_t l = 0; l < lines; ++l) {
    if (!has_nan(out[l])) continue;
    std::vector<psv_terms> line(terms.size() / lines);
    for (std::size_t j = 0; j < line.size(); ++j) line[j] = terms[j * lines + l];
    through_lines<careful_product>(line, wave, out.subspan(l, 1));
  }
}

psv_motion psv_through(std::span<const psv_terms> rows, incident_wave wave) {
  psv_motion m{};
  psv_through_lines(rows, wave, std::span(&m, 1));
  return m;
}

psv_motion psv_response(std::span<const damped_row> rows, double p, double omega,
                        incident_wave wave) {
  std::vector<psv_terms> terms(rows.size());
  for (std::size_t j = 0; j + 1 < rows.size(); ++j) terms[j] = psv_terms_of(rows[j], p, omega);
  if (!rows.empty()) terms.back() = {psv_row_of(rows.back(), p), 1.0, 1.0};
  return psv_through(terms, wave);
}

}  // namespace sitewave::exact
