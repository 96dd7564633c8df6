// Results that are not numbers, found and explained: from which frequency
// the amplification is not finite, from which time each surface motion, and
// the cause the run can see (a time step too small for the frequency grid,
// an overflowing single-precision recursion, an extreme model for the exact
// recursion). A run with such results says so; it never reports a peak of 0.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "cli/analysis/analysis.hpp"

namespace sitewave::cli {

struct not_finite_results {
  std::optional<double> transfer_from_hz;               // first grid line not finite
  std::array<std::optional<double>, 3> surface_from_s;  // per component, first sample not finite
  std::string cause;                                    // empty when every result is finite

  bool any() const { return !cause.empty(); }
  // "the amplification from 12.5 Hz, the surface H1 and V1 from 0 s"
  std::string what() const;
};

not_finite_results find_not_finite(const analysis& a, physics_kind physics);

}  // namespace sitewave::cli
