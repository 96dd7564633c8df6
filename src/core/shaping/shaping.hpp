// From the record's spectrum to the surface spectrum: the amplification of
// the layers applied line by line, then the shaping: the zero-frequency line
// removed, an optional trapezoidal band-pass weight and an optional
// integration (division by i·ω) or differentiation (multiplication by i·ω).
#pragma once

#include <span>

#include "core/spectral/cplx.hpp"

namespace sitewave::shaping {

// What is done to the motion: integration, differentiation, or (any other
// value) nothing.
inline constexpr int integrate = 1;
inline constexpr int differentiate = 2;

// Upper band edge without the filter, rad/s.
inline constexpr float no_upper_edge = 99999.9f;

// Corners of the trapezoid as angular frequencies: zero weight below oml1
// and from omh2 up; with the filter, rising to full weight at oml2 and
// falling from omh1.
struct band {
  float oml1 = 0.0f;
  float oml2 = 0.0f;
  float omh1 = 0.0f;
  float omh2 = no_upper_edge;
  bool filtered = false;
};

// 2π as 8·atan(1), rounded once: the factor from hertz to rad/s of the band.
float pi2();

// The band of corners fl1 ≤ fl2 ≤ fh1 ≤ fh2 in hertz (not checked here).
band trapezoid(float fl1, float fl2, float fh1, float fh2);

// spectrum[i] times factors[i] for every line of factors.
void amplify(std::span<cplx> spectrum, std::span<const cplx> factors);

// Shapes lines 1..nom of the spectrum (spectrum[0] is line 1, zero
// frequency; line k stands for (k − 1)·dom): line 1 becomes zero, lines
// outside the band zero, the others are weighted and integrated or
// differentiated as `operation` says.
void shape(std::span<cplx> spectrum, int nom, float dom, const band& b, int operation);

}  // namespace sitewave::shaping
