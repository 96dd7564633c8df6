// Comparison of complex results with a tolerance relative to the expected
// value, and the conversions the exact-physics tests share.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <numbers>
#include <string>

namespace sitewave::exact {

using zd = std::complex<double>;

inline constexpr double two_pi = 2.0 * std::numbers::pi;

inline double radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}

// |got − want| ≤ rel·|want|, or ≤ rel·floor where want is smaller than floor.
inline ::testing::AssertionResult close(zd got, zd want, double rel, double floor = 0.0) {
  const double err = std::abs(got - want);
  if (std::isfinite(err) && err <= rel * std::max(std::abs(want), floor)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "got " << got << ", want " << want << " (relative " << err / std::abs(want) << ")";
}

}  // namespace sitewave::exact
