// Effective quality factors of the two rows meeting at an interface, and the
// complex velocity that carries the damping into the layer recursion; the
// block forms run the single-frequency rules on every line.
#include "core/ground/damping.hpp"

#include <cmath>

namespace sitewave::ground {

namespace {

// A factor never drops below the base value, whatever the frequency.
float at_least(float q, float q0) {
  return q < q0 ? q0 : q;
}

float growth(float f, float freq) {
  const float g = static_cast<float>(std::pow(static_cast<double>(freq), static_cast<double>(f)));
  return g;
}

float grown_q(float q0, float g) {
  const float q1 = q0 * g;
  return at_least(q1, q0);
}

}  // namespace

float upper_q(float q0, float f, float freq) {
  return grown_q(q0, growth(f, freq));
}

float lower_q(float q0, float f, float freq) {
  const float q2 = q0 * freq * f;
  return at_least(q2, q0);
}

cplx damped_velocity(float v, float q) {
  const float loss = 0.5f / q;
  return v * cplx{1.0f, loss};
}

void growth_lines(float f, const line_values& freq, line_values& g) {
  for (std::size_t j = 0; j < block_lines; ++j) g[j] = growth(f, freq[j]);
}

void upper_q_lines(float q0, const line_values& g, line_values& q) {
  for (std::size_t j = 0; j < block_lines; ++j) q[j] = grown_q(q0, g[j]);
}

void lower_q_lines(float q0, float f, const line_values& freq, line_values& q) {
  for (std::size_t j = 0; j < block_lines; ++j) q[j] = lower_q(q0, f, freq[j]);
}

void damped_velocity_lines(float v, const line_values& q, complex_lines& velocity) {
  for (std::size_t j = 0; j < block_lines; ++j) velocity.set(j, damped_velocity(v, q[j]));
}

}  // namespace sitewave::ground
