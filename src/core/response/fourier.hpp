// Radix-2 discrete Fourier transform of a power-of-two length in double
// precision, on separate real and imaginary parts. The response spectra use it
// to resample records finely without the rounding of the single-precision
// transform of the amplification path.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "core/response/simd_path.hpp"

namespace sitewave::response {

class fourier_transform {
 public:
  // n must be a power of two (n >= 1); the twiddles are computed once here.
  // Every path gives the same bits; one the machine cannot run falls back to
  // the baseline.
  explicit fourier_transform(std::size_t n, simd_path path = fastest_simd_path());

  std::size_t size() const { return n_; }

  // X(k) = sum over j of x(j) exp(-2 pi i j k / n), in place. Neither
  // direction scales; both spans must hold exactly n values.
  void forward(std::span<double> re, std::span<double> im) const;
  // x(j) = sum over k of X(k) exp(+2 pi i j k / n), in place.
  void inverse(std::span<double> re, std::span<double> im) const;

  // The same two transforms with the spectrum in bit-reversed order (line k
  // at position reversed(k)), which spares the reordering pass when the
  // spectrum is only worked on line by line between them.
  void forward_to_reversed(std::span<double> re, std::span<double> im) const;
  void inverse_from_reversed(std::span<double> re, std::span<double> im) const;
  std::size_t reversed(std::size_t k) const;

 private:
  void check(std::span<double> re, std::span<double> im) const;
  void decimate_in_frequency(std::span<double> re, std::span<double> im) const;
  void decimate_in_time(std::span<double> re, std::span<double> im) const;

  std::size_t n_;
  bool wide_;  // the AVX2 loops
  // Twiddles of the radix-4 stages, cos and -sin, each stage's in one block.
  std::vector<double> twiddles_;
};

}  // namespace sitewave::response
