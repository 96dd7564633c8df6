// SH amplification of the layer stack: the horizontal motion at the free
// surface over the incident wave (column 1) and over the total motion at the
// top of the half-space (column 2), for every frequency of the grid.
#include <array>
#include <cmath>

#include "core/ground/amplification.hpp"
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

// A row's velocity is its damped S velocity.
void s_velocity(std::span<const complex_lines> damped, complex_lines& velocity) {
  velocity = damped[0];
}

}  // namespace

void sbshml(float fom, float dom, int nom, const layer_table& layers, float theta, amp_columns amp,
            const work_control& control) {
  const std::array<wave_columns, 1> s_wave{{{&layers.vs, &layers.qs, &layers.fs}}};
  const wave_model model{s_wave, s_velocity, sh_slowness_squared};
  fill_table(fom, dom, nom, layers, theta, amp, control, model);
}

}  // namespace sitewave::ground
