// Two or four doubles operated on together, element by element, for the
// inner loops of the response spectra: two fill an SSE2 register, four an
// AVX2 one. Only plain additions, subtractions, multiplications and exact
// selections are used, so a loop gives the same bits at either width.
#pragma once

#include <cstddef>
#include <cstdint>

// The compilers warn wherever a 32-byte vector is passed or returned by value
// in code built without AVX, since a real call would pass it differently
// there. No such call ever happens (everything over these types is inlined
// into a function built for one instruction set), so the warning is off for
// the rest of any file that includes this one.
#if defined(__clang__)
#if __has_warning("-Wpsabi")
#pragma clang diagnostic ignored "-Wpsabi"
#endif
#elif defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace sitewave::response {

using lanes2 = double __attribute__((vector_size(16)));
using lanes4 = double __attribute__((vector_size(32)));
using lane_bits2 = std::int64_t __attribute__((vector_size(16)));
using lane_bits4 = std::int64_t __attribute__((vector_size(32)));

template <class V>
inline constexpr std::size_t width_of = sizeof(V) / sizeof(double);

template <class V>
[[gnu::always_inline]] inline V load_lanes(const double* p) {
  V v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}

template <class V>
[[gnu::always_inline]] inline void store_lanes(double* p, V v) {
  __builtin_memcpy(p, &v, sizeof v);
}

template <class V>
[[gnu::always_inline]] inline V splat(double x) {
  V v;
  for (std::size_t i = 0; i < width_of<V>; ++i) v[i] = x;
  return v;
}

// Each value with its sign bit cleared.
[[gnu::always_inline]] inline lanes2 magnitude(lanes2 x) {
  return reinterpret_cast<lanes2>(reinterpret_cast<lane_bits2>(x) & (lane_bits2{} + INT64_MAX));
}

[[gnu::always_inline]] inline lanes4 magnitude(lanes4 x) {
  return reinterpret_cast<lanes4>(reinterpret_cast<lane_bits4>(x) & (lane_bits4{} + INT64_MAX));
}

// The larger of each pair, as std::max(a, b) picks it.
template <class V>
[[gnu::always_inline]] inline V larger(V a, V b) {
  return a < b ? b : a;
}

}  // namespace sitewave::response
