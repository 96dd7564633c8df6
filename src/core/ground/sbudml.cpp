// P-SV amplification of the layer stack: the recursion of the SH case run
// with a combined velocity per row, formed from its complex S and P
// velocities, and with the horizontal slowness of the half-space's combined
// velocity.
#include <cmath>

#include "core/ground/amplification.hpp"
#include "core/ground/damping.hpp"
#include "core/ground/layer_stack.hpp"

namespace sitewave::ground {

namespace {

// Squared horizontal slowness, fixed by the undamped combined velocity of the
// half-space, vs·sqrt(3 / (1 − vs²/vp²)), and the same in every row.
cplx psv_slowness_squared(const layer_table& layers, float theta) {
  const int nl = layers.nl;
  const float vs_sq = layers.vs(nl) * layers.vs(nl);
  const float vp_sq = layers.vp(nl) * layers.vp(nl);
  const float base = 1.0f - vs_sq / vp_sq;
  const cplx aa{3.0f / base, 0.0f};
  const cplx vsn2 = vs_sq * aa;
  const float tsin = static_cast<float>(std::sin(static_cast<double>(theta)));
  return cdiv({tsin * tsin, 0.0f}, vsn2);
}

// vs·sqrt(3 / (1 − vs²/vp²)) for the complex velocities of one row.
cplx combined_velocity(cplx vs, cplx vp) {
  const cplx base = cplx{1.0f, 0.0f} - cdiv(csquare(vs), csquare(vp));
  const cplx aa = csqrt(cdiv({3.0f, 0.0f}, base));
  return vs * aa;
}

// The rows of interface il with their combined velocities damped at freq.
interface_rows psv_rows(const layer_table& layers, int il, float freq) {
  const int lower = il + 1;
  const float qs1 = upper_q(layers.qs(il), layers.fs(il), freq);
  const float qs2 = lower_q(layers.qs(lower), layers.fs(lower), freq);
  const float qp1 = upper_q(layers.qp(il), layers.fp(il), freq);
  const float qp2 = lower_q(layers.qp(lower), layers.fp(lower), freq);
  const cplx vs1 = damped_velocity(layers.vs(il), qs1);
  const cplx vs2 = damped_velocity(layers.vs(lower), qs2);
  const cplx vp1 = damped_velocity(layers.vp(il), qp1);
  const cplx vp2 = damped_velocity(layers.vp(lower), qp2);
  return {
      .dns1 = layers.dns(il),
      .v1 = combined_velocity(vs1, vp1),
      .dns2 = layers.dns(lower),
      .v2 = combined_velocity(vs2, vp2),
      .thk = layers.thk(il),
  };
}

}  // namespace

void sbudml(float fom, float dom, int nom, const layer_table& layers, float theta, amp_columns amp,
            const work_control& control) {
  fill_table(
      fom, dom, nom, layers, amp, control, [&] { return psv_slowness_squared(layers, theta); },
      [&layers](int il, float freq) { return psv_rows(layers, il, freq); });
}

}  // namespace sitewave::ground
