// Effective quality factors of the two rows meeting at an interface, and the
// complex velocity that carries the damping into the layer recursion.
#include "core/ground/damping.hpp"

#include <cmath>

namespace sitewave::ground {

namespace {

// A factor never drops below the base value, whatever the frequency.
float at_least(float q, float q0) {
  return q < q0 ? q0 : q;
}

}  // namespace

float upper_q(float q0, float f, float freq) {
  const float growth =
      static_cast<float>(std::pow(static_cast<double>(freq), static_cast<double>(f)));
  const float q1 = q0 * growth;
  return at_least(q1, q0);
}

float lower_q(float q0, float f, float freq) {
  const float q2 = q0 * freq * f;
  return at_least(q2, q0);
}

cplx damped_velocity(float v, float q) {
  const float loss = 0.5f / q;
  return v * cplx{1.0f, loss};
}

}  // namespace sitewave::ground
