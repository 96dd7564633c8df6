// Test records: a broadband acceleration record like one from a moderate
// earthquake at 100 samples per second (noise with an omega-squared source
// shape and a high-frequency decay, under a build-up and decay envelope), made
// from integer arithmetic so every platform gets the same samples.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

#include "core/response/fourier.hpp"

namespace sitewave::response::testing {

// Values in [-1, 1) from a linear congruential sequence.
inline std::vector<double> uniform_noise(std::size_t n, std::uint32_t seed) {
  std::vector<double> x(n);
  for (double& v : x) {
    seed = seed * 1664525u + 1013904223u;
    v = static_cast<double>(static_cast<std::int32_t>(seed >> 8) - (1 << 23)) / 8388608.0;
  }
  return x;
}

// n samples at dt, peak about 1.
inline std::vector<double> broadband_record(std::size_t n, double dt, std::uint32_t seed) {
  std::size_t length = 1;
  while (length < n) length *= 2;
  std::vector<double> re = uniform_noise(length, seed);
  std::vector<double> im(length, 0.0);
  const fourier_transform transform(length);
  transform.forward(re, im);
  const double df = 1.0 / (static_cast<double>(length) * dt);
  for (std::size_t k = 0; k < length; ++k) {
    const double f = static_cast<double>(std::min(k, length - k)) * df;
    const double corner = 1.0;  // Hz
    const double kappa = 0.02;  // s
    const double shape =
        (f * f / (corner * corner + f * f)) * std::exp(-std::numbers::pi * kappa * f);
    re[k] *= shape;
    im[k] *= shape;
  }
  transform.inverse(re, im);
  std::vector<double> a(n);
  const double duration = static_cast<double>(n) * dt;
  double top = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) * dt / duration;  // 0 .. 1
    const double envelope = std::pow(t, 2.0) * std::exp(-12.0 * t) * 20.0;
    a[i] = re[i] * envelope;
    top = std::max(top, std::abs(a[i]));
  }
  for (double& v : a) v /= top;
  return a;
}

}  // namespace sitewave::response::testing
