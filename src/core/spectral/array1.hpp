// Fixed-capacity arrays indexed from 1, as every table and series of the run
// is: a(1) is the first element. The capacity is part of the type.
#pragma once

#include <array>
#include <cstddef>
#include <span>

namespace sitewave {

template <class T, std::size_t N>
struct array1 {
  std::array<T, N> v{};

  constexpr T& operator()(int i) { return v[static_cast<std::size_t>(i - 1)]; }
  constexpr const T& operator()(int i) const { return v[static_cast<std::size_t>(i - 1)]; }

  // Every element as a zero-based span, element 1 first.
  constexpr std::span<T> all() { return v; }
};

}  // namespace sitewave
