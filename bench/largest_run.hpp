// The largest run the benchmarks time: 16385 grid frequencies (a 32768-point
// transform at 0.01 s) through a table of 50 rows, soft rows over stiffer
// ones, at 30 degrees.
#pragma once

#include "core/ground/layer_table.hpp"

namespace sitewave::bench {

inline constexpr int nom = 16385;
inline constexpr float dt = 0.01f;
inline constexpr float dom = 6.2831855f / (32768.0f * dt);
inline constexpr float theta = 0.5235988f;

enum class damping { shared_coefficient, own_coefficients, frequency_independent };

inline ground::layer_table deep_stack(damping kind = damping::shared_coefficient) {
  using ground::ml;
  ground::layer_table t;
  t.nl = ml;
  for (int l = 1; l <= ml; ++l) {
    const float depth_step = static_cast<float>(l - 1);
    t.dns(l) = 1.6f + 0.02f * depth_step;
    t.vs(l) = 120.0f + 25.0f * depth_step;
    t.vp(l) = 2.2f * t.vs(l);
    t.qs(l) = 8.0f + depth_step;
    t.qp(l) = 12.0f + depth_step;
    t.fs(l) = 0.5f;
    t.fp(l) = 0.3f;
    t.thk(l) = 2.0f + 0.5f * depth_step;
    if (kind == damping::own_coefficients) {
      t.fs(l) = 0.5f + 0.01f * depth_step;
      t.fp(l) = 0.3f + 0.01f * depth_step;
    } else if (kind == damping::frequency_independent) {
      t.fs(l) = 0.0f;
      t.fp(l) = 0.0f;
    }
  }
  return t;
}

}  // namespace sitewave::bench
