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

  static constexpr int capacity = static_cast<int>(N);

  constexpr T& operator()(int i) { return v[static_cast<std::size_t>(i - 1)]; }
  constexpr const T& operator()(int i) const { return v[static_cast<std::size_t>(i - 1)]; }

  // Elements 1..n as a zero-based span.
  constexpr std::span<T> first(int n) { return std::span<T>(v).first(static_cast<std::size_t>(n)); }
  constexpr std::span<const T> first(int n) const {
    return std::span<const T>(v).first(static_cast<std::size_t>(n));
  }
  constexpr std::span<T> all() { return v; }
};

}  // namespace sitewave
