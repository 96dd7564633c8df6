// Radix-2 in-place discrete Fourier transform of a power-of-two length.
#pragma once

#include <span>

#include "core/spectral/cplx.hpp"

namespace sitewave {

// Transforms a(1..n) in place (a[0] is a(1)):
//   A(m) = sum over l of a(l) · exp(ind · i · 2π · (l − 1)(m − 1) / n),
// with ind = −1 for the forward transform and +1 for the inverse. Neither
// direction scales. n must be a power of two with 1 <= n <= a.size().
void wvfast(int n, std::span<cplx> a, int ind);

}  // namespace sitewave
