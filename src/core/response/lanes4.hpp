// Four doubles operated on together, element by element, for the inner loops
// of the response spectra. Only plain additions, subtractions, multiplications
// and exact selections are used, so a loop gives the same bits whether the
// compiler makes two SSE2 or one AVX2 instruction of each operation.
#pragma once

#include <cstdint>

// GCC warns wherever a 32-byte vector is passed or returned by value in code
// built without AVX, since a real call would pass it differently there. No
// such call ever happens (everything over lanes4 is inlined), so the warning
// is off for the rest of any file that includes this one.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace sitewave::response {

using lanes4 = double __attribute__((vector_size(32)));
using lane_bits4 = std::int64_t __attribute__((vector_size(32)));

// These helpers, and the loops that use them, are always inlined into a
// function compiled for one instruction set (see simd_path.hpp): no lanes4
// ever crosses a call.
[[gnu::always_inline]] inline lanes4 load4(const double* p) {
  lanes4 v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}

[[gnu::always_inline]] inline void store4(double* p, lanes4 v) {
  __builtin_memcpy(p, &v, sizeof v);
}

[[gnu::always_inline]] inline lanes4 splat4(double x) {
  return lanes4{x, x, x, x};
}

[[gnu::always_inline]] inline lanes4 magnitude4(lanes4 x) {
  constexpr std::int64_t all_but_sign = INT64_MAX;
  return reinterpret_cast<lanes4>(
      reinterpret_cast<lane_bits4>(x) &
      lane_bits4{all_but_sign, all_but_sign, all_but_sign, all_but_sign});
}

// The larger of each pair, as std::max(a, b) picks it.
[[gnu::always_inline]] inline lanes4 larger4(lanes4 a, lanes4 b) {
  return a < b ? b : a;
}

}  // namespace sitewave::response
