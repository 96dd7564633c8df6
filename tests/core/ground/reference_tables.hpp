// The amplification tables computed the plain way, one frequency line at a
// time and one interface after the other, with the single-line complex
// helpers: the yardstick the blocked routines must match bit for bit.
#pragma once

#include <cmath>

#include "core/ground/amp_table.hpp"
#include "core/ground/damping.hpp"
#include "core/ground/layer_table.hpp"

namespace sitewave::ground::reference {

struct stack_matrix {
  cplx a11{1.0f, 0.0f};
  cplx a12{};
  cplx a21{};
  cplx a22{1.0f, 0.0f};
};

inline cplx half(cplx a) {
  return {a.re / 2.0f, a.im / 2.0f};
}

inline stack_matrix add_row(const stack_matrix& sa, float dns1, cplx v1, float dns2, cplx v2,
                            float thk, float om, cplx cinv2) {
  constexpr cplx one{1.0f, 0.0f};
  const cplx am = cdiv(dns1 * v1, dns2 * v2);
  const cplx v21 = v1 * v1;
  const cplx wn = om * csqrt(cdiv(one, v21) - cinv2);
  const cplx wnd = thk * (cplx{0.0f, 1.0f} * wn);
  const cplx ex1 = cexp(wnd);
  const cplx ex2 = cexp(-wnd);
  const cplx sb11 = half((one + am) * ex1);
  const cplx sb12 = half((one - am) * ex2);
  const cplx sb21 = half((one - am) * ex1);
  const cplx sb22 = half((one + am) * ex2);
  return {sa.a11 * sb11 + sa.a12 * sb21, sa.a11 * sb12 + sa.a12 * sb22,
          sa.a21 * sb11 + sa.a22 * sb21, sa.a21 * sb12 + sa.a22 * sb22};
}

inline cplx combined(cplx vs, cplx vp) {
  const cplx base = cplx{1.0f, 0.0f} - cdiv(vs * vs, vp * vp);
  return vs * csqrt(cdiv({3.0f, 0.0f}, base));
}

inline float sine_squared(float theta) {
  const float tsin = static_cast<float>(std::sin(static_cast<double>(theta)));
  return tsin * tsin;
}

// Velocities of rows il (upper-member rule) and il + 1 (lower-member rule).
template <class Velocity>
void fill(float fom, float dom, int nom, const layer_table& t, cplx cinv2, amp_table& amp,
          Velocity velocity) {
  int first = 1;
  if (fom == 0.0f) {
    amp(1, 1) = {2.0f, 0.0f};
    amp(1, 2) = {1.0f, 0.0f};
    first = 2;
  }
  for (int io = first; io <= nom; ++io) {
    const float om = static_cast<float>(io - 1) * dom + fom;
    const float freq = om / 6.2831855f;
    stack_matrix a;
    for (int il = t.nl - 1; il >= 1; --il) {
      const cplx v1 = velocity(il, freq, true);
      const cplx v2 = velocity(il + 1, freq, false);
      a = add_row(a, t.dns(il), v1, t.dns(il + 1), v2, t.thk(il), om, cinv2);
    }
    const cplx up = a.a11 + a.a12;
    amp(io, 1) = cdiv({2.0f, 0.0f}, up);
    amp(io, 2) = cdiv({2.0f, 0.0f}, up + a.a21 + a.a22);
  }
}

inline float damping_q(float q0, float f, float freq, bool upper) {
  return upper ? upper_q(q0, f, freq) : lower_q(q0, f, freq);
}

inline void sh(float fom, float dom, int nom, const layer_table& t, float theta, amp_table& amp) {
  const int nl = t.nl;
  const cplx cinv2 = cdiv({sine_squared(theta), 0.0f}, {t.vs(nl) * t.vs(nl), 0.0f});
  fill(fom, dom, nom, t, cinv2, amp, [&t](int l, float freq, bool upper) {
    return damped_velocity(t.vs(l), damping_q(t.qs(l), t.fs(l), freq, upper));
  });
}

inline void psv(float fom, float dom, int nom, const layer_table& t, float theta, amp_table& amp) {
  const int nl = t.nl;
  const float vs_sq = t.vs(nl) * t.vs(nl);
  const float base = 1.0f - vs_sq / (t.vp(nl) * t.vp(nl));
  const cplx vsn2 = vs_sq * cplx{3.0f / base, 0.0f};
  const cplx cinv2 = cdiv({sine_squared(theta), 0.0f}, vsn2);
  fill(fom, dom, nom, t, cinv2, amp, [&t](int l, float freq, bool upper) {
    const cplx vs = damped_velocity(t.vs(l), damping_q(t.qs(l), t.fs(l), freq, upper));
    const cplx vp = damped_velocity(t.vp(l), damping_q(t.qp(l), t.fp(l), freq, upper));
    return combined(vs, vp);
  });
}

}  // namespace sitewave::ground::reference
