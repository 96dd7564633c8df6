// SH amplification of the layer stack: the horizontal motion at the free
// surface over the incident wave (column 1) and over the total motion at the
// top of the half-space (column 2), for every frequency of the grid.
#include <cmath>

#include "core/ground/amplification.hpp"
#include "core/ground/damping.hpp"
#include "core/ground/layer_stack.hpp"

namespace sitewave::ground {

namespace {

// Squared horizontal slowness, fixed by the undamped half-space velocity and
// the same in every row.
cplx sh_slowness_squared(const layer_table& layers, float theta) {
  const int nl = layers.nl;
  const cplx vsn2{layers.vs(nl) * layers.vs(nl), 0.0f};
  const float tsin = static_cast<float>(std::sin(static_cast<double>(theta)));
  return cdiv({tsin * tsin, 0.0f}, vsn2);
}

// The rows of interface il with their S velocities damped at freq.
interface_rows sh_rows(const layer_table& layers, int il, float freq) {
  const int lower = il + 1;
  const float q1 = upper_q(layers.qs(il), layers.fs(il), freq);
  const float q2 = lower_q(layers.qs(lower), layers.fs(lower), freq);
  return {
      .dns1 = layers.dns(il),
      .v1 = damped_velocity(layers.vs(il), q1),
      .dns2 = layers.dns(lower),
      .v2 = damped_velocity(layers.vs(lower), q2),
      .thk = layers.thk(il),
  };
}

}  // namespace

void sbshml(float fom, float dom, int nom, const layer_table& layers, float theta, amp_columns amp,
            const work_control& control) {
  fill_table(
      fom, dom, nom, layers, amp, control, [&] { return sh_slowness_squared(layers, theta); },
      [&layers](int il, float freq) { return sh_rows(layers, il, freq); });
}

}  // namespace sitewave::ground
