// The one Fourier transform of the run: in-place radix-2 decimation in time
// (bit-reversal reordering, then butterfly stages), unscaled, for the forward
// transforms of the record and the inverse transforms of the shaped spectra.
// Every figure of a run rests on its output, so the operation order is fixed.
#include "core/spectral/wvfast.hpp"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace sitewave {

namespace {

// One unit in the last place below the single-precision value nearest to pi;
// every twiddle angle is formed from it, and the results depend on it.
constexpr float pai = 0x1.921fb4p+1f;
static_assert(std::bit_cast<std::uint32_t>(pai) == 0x40490FDAu);

// A caller that breaks the contract is a bug, never input: stop at once
// rather than address elements outside the array.
void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "wvfast: %s\n", what);
  std::abort();
}

bool power_of_two(int n) {
  return n >= 1 && (n & (n - 1)) == 0;
}

// Puts into position i the element whose zero-based index is the bit
// reversal of i - 1; j advances in bit-reversed order alongside i.
void bit_reverse(int n, auto&& a) {
  int j = 1;
  for (int i = 1; i <= n; ++i) {
    if (i < j) std::swap(a(i), a(j));
    int m = n / 2;
    while (j > m) {
      j -= m;
      m /= 2;
      if (m <= 1) break;
    }
    j += m;
  }
}

// exp(i·angle) for twiddle index k of a stage whose half-span is kmax. The
// angle is rounded to single precision before the double-precision cosine and
// sine, and each of those is rounded once.
cplx twiddle(int k, int kmax, int ind) {
  const float angle_times_kmax = static_cast<float>((k - 1) * ind) * pai;
  const float angle = angle_times_kmax / static_cast<float>(kmax);
  const float wr = static_cast<float>(std::cos(static_cast<double>(angle)));
  const float wi = static_cast<float>(std::sin(static_cast<double>(angle)));
  return {wr, wi};
}

// Stage outermost, then the twiddle index, then the butterflies sharing it.
void butterflies(int n, int ind, auto&& a) {
  for (int kmax = 1; kmax < n; kmax *= 2) {
    const int istep = 2 * kmax;
    for (int k = 1; k <= kmax; ++k) {
      const cplx w = twiddle(k, kmax, ind);
      for (int i = k; i <= n; i += istep) {
        const int j = i + kmax;
        const cplx temp = a(j) * w;
        a(j) = a(i) - temp;
        a(i) = a(i) + temp;
      }
    }
  }
}

}  // namespace

void wvfast(int n, std::span<cplx> a, int ind) {
  require(power_of_two(n), "the length must be a power of two");
  require(static_cast<std::size_t>(n) <= a.size(), "the length exceeds the array");
  require(ind == -1 || ind == 1, "the direction must be -1 or +1");

  auto at = [a](int i) -> cplx& { return a[static_cast<std::size_t>(i - 1)]; };
  bit_reverse(n, at);
  butterflies(n, ind, at);
}

}  // namespace sitewave
