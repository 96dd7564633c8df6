// A block of neighbouring frequency lines worked on together: every value of
// the layer recursion is held once per line in a short array, so that each
// step runs as a loop over independent lines instead of one long chain of
// dependent operations per line.
#pragma once

#include <array>
#include <cstddef>

#include "core/spectral/cplx.hpp"

namespace sitewave::ground {

// Lines per block: enough independent work to fill the pipelines, few enough
// that a block's working values stay in the first-level cache.
inline constexpr std::size_t block_lines = 16;

using line_values = std::array<float, block_lines>;

// One complex value per line, real and imaginary parts apart.
struct complex_lines {
  line_values re{};
  line_values im{};

  cplx at(std::size_t j) const { return {re[j], im[j]}; }
  void set(std::size_t j, cplx v) {
    re[j] = v.re;
    im[j] = v.im;
  }
  // The same value on every line.
  static complex_lines filled(cplx v) {
    complex_lines out;
    out.re.fill(v.re);
    out.im.fill(v.im);
    return out;
  }
};

}  // namespace sitewave::ground
