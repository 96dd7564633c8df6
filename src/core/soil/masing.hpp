// Masing damping of the hyperbolic backbones: the hysteresis loop that the
// Masing rules build on G/Gmax = 1 / (1 + x^a), x = strain / reference strain,
// expressed as a damping ratio in percent.
#pragma once

namespace sitewave::soil {

// The loop of the hyperbolic backbone (a = 1) in closed form:
// (100 / pi) * (4 (x - ln(1 + x)) (1 + x) / x^2 - 2); 0 at x = 0.
double hyperbolic_masing_percent(double x);

// Darendeli's fit for a modified hyperbolic backbone of curvature a: the
// cubic c1 D + c2 D^2 + c3 D^3 in the closed form D of a = 1.
double masing_damping_percent(double x, double curvature);

}  // namespace sitewave::soil
