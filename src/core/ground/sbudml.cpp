// P-SV amplification of the layer stack: the recursion of the SH case run
// with a combined velocity per row, formed from its complex S and P
// velocities, and with the horizontal slowness of the half-space's combined
// velocity.
#include <array>
#include <cmath>

#include "core/ground/amplification.hpp"
#include "core/ground/block_complex.hpp"
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

// vs·sqrt(3 / (1 − vs²/vp²)) for the complex velocities of a row, the
// damped S velocity first.
void combined_velocity(std::span<const complex_lines> damped, complex_lines& velocity) {
  const complex_lines& vs = damped[0];
  const complex_lines& vp = damped[1];
  complex_lines vs_sq;
  complex_lines vp_sq;
  for (std::size_t j = 0; j < block_lines; ++j) {
    vs_sq.set(j, vs.at(j) * vs.at(j));
    vp_sq.set(j, vp.at(j) * vp.at(j));
  }
  complex_lines ratio;
  quotient(vs_sq, vp_sq, ratio);
  complex_lines base;
  for (std::size_t j = 0; j < block_lines; ++j) base.set(j, cplx{1.0f, 0.0f} - ratio.at(j));
  complex_lines aa;
  quotient(complex_lines::filled({3.0f, 0.0f}), base, aa);
  square_root(aa, aa);
  for (std::size_t j = 0; j < block_lines; ++j) velocity.set(j, vs.at(j) * aa.at(j));
}

}  // namespace

void sbudml(float fom, float dom, int nom, const layer_table& layers, float theta, amp_columns amp,
            const work_control& control) {
  const std::array<wave_columns, 2> sp_waves{
      {{&layers.vs, &layers.qs, &layers.fs}, {&layers.vp, &layers.qp, &layers.fp}}};
  const wave_model model{sp_waves, combined_velocity, psv_slowness_squared};
  fill_table(fom, dom, nom, layers, theta, amp, control, model);
}

}  // namespace sitewave::ground
