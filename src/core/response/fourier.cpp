// Iterative radix-2 stages whose twiddles are read contiguously, so the
// compiler can pair them in vector registers: decimation in frequency from
// natural to bit-reversed order, decimation in time back. The reordering pass
// between them is left out when the caller works in bit-reversed order. The twiddles of the
// largest stage come from one octant of the circle, so the table is exactly
// symmetric; the smaller stages reuse its entries.
#include "core/response/fourier.hpp"

#include <bit>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>
#include <utility>

namespace sitewave::response {

namespace {

// cos and sin of pi j / h for 0 <= j < h, exact under the circle's symmetries.
void half_circle(std::size_t h, std::span<double> c, std::span<double> s) {
  const auto angle = [h](std::size_t j) {
    return std::numbers::pi * static_cast<double>(j) / static_cast<double>(h);
  };
  if (h % 4 != 0) {
    for (std::size_t j = 0; j < h; ++j) {
      c[j] = std::cos(angle(j));
      s[j] = std::sin(angle(j));
    }
    return;
  }
  const std::size_t quarter = h / 4;
  for (std::size_t j = 0; j <= quarter; ++j) {
    c[j] = std::cos(angle(j));
    s[j] = std::sin(angle(j));
  }
  for (std::size_t j = quarter + 1; j <= h / 2; ++j) {  // pi/2 - angle(h/2 - j)
    c[j] = s[h / 2 - j];
    s[j] = c[h / 2 - j];
  }
  for (std::size_t j = h / 2 + 1; j < h; ++j) {  // pi - angle(h - j)
    c[j] = -c[h - j];
    s[j] = s[h - j];
  }
}

void bit_reverse(std::span<double> re, std::span<double> im) {
  const std::size_t n = re.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; (j & bit) != 0; bit >>= 1) j ^= bit;
    j |= bit;
    if (i < j) {
      std::swap(re[i], re[j]);
      std::swap(im[i], im[j]);
    }
  }
}

// a, b <- a + b, (a - b) w for the h pairs of one block, twiddles at (wr, wi).
void split_butterflies(double* ar, double* ai, double* br, double* bi, const double* wr,
                       const double* wi, std::size_t h) {
  for (std::size_t j = 0; j < h; ++j) {
    const double dr = ar[j] - br[j];
    const double di = ai[j] - bi[j];
    ar[j] = ar[j] + br[j];
    ai[j] = ai[j] + bi[j];
    br[j] = wr[j] * dr - wi[j] * di;
    bi[j] = wr[j] * di + wi[j] * dr;
  }
}

// a, b <- a + w b, a - w b, the inverse order of operations.
void butterflies(double* ar, double* ai, double* br, double* bi, const double* wr, const double* wi,
                 std::size_t h) {
  for (std::size_t j = 0; j < h; ++j) {
    const double tr = wr[j] * br[j] - wi[j] * bi[j];
    const double ti = wr[j] * bi[j] + wi[j] * br[j];
    br[j] = ar[j] - tr;
    bi[j] = ai[j] - ti;
    ar[j] = ar[j] + tr;
    ai[j] = ai[j] + ti;
  }
}

// The stage of pairs (h = 1), whose twiddle is 1, in either direction.
void unit_stage(std::span<double> re, std::span<double> im) {
  for (std::size_t s = 0; s < re.size(); s += 2) {
    const double ar = re[s], ai = im[s], br = re[s + 1], bi = im[s + 1];
    re[s] = ar + br;
    im[s] = ai + bi;
    re[s + 1] = ar - br;
    im[s + 1] = ai - bi;
  }
}

// The stage of h = 2, whose twiddles are 1 and -i (exactly, in the table):
// a product by -i is an exchange of parts, done here without the multiplies.
void quarter_turn_stage(std::span<double> re, std::span<double> im, bool from_top) {
  for (std::size_t s = 0; s < re.size(); s += 4) {
    for (std::size_t j = 0; j < 2; ++j) {
      const std::size_t a = s + j, b = a + 2;
      const double ar = re[a], ai = im[a], br = re[b], bi = im[b];
      if (from_top) {  // a + b, (a - b) w
        const double dr = ar - br, di = ai - bi;
        re[a] = ar + br;
        im[a] = ai + bi;
        re[b] = j == 0 ? dr : di;
        im[b] = j == 0 ? di : -dr;
      } else {  // a + w b, a - w b
        const double tr = j == 0 ? br : bi, ti = j == 0 ? bi : -br;
        re[a] = ar + tr;
        im[a] = ai + ti;
        re[b] = ar - tr;
        im[b] = ai - ti;
      }
    }
  }
}

}  // namespace

fourier_transform::fourier_transform(std::size_t n) : n_(n), cos_(n), msin_(n) {
  if (n == 0 || !std::has_single_bit(n))
    throw std::invalid_argument("transform length " + std::to_string(n) + " is not a power of two");
  if (n < 2) return;
  const std::size_t top = n / 2;
  std::vector<double> s(top);
  half_circle(top, std::span(cos_).subspan(top, top), s);
  for (std::size_t j = 0; j < top; ++j) msin_[top + j] = -s[j];
  for (std::size_t h = top / 2; h >= 1; h /= 2) {
    const std::size_t stride = top / h;
    for (std::size_t j = 0; j < h; ++j) {
      cos_[h + j] = cos_[top + j * stride];
      msin_[h + j] = msin_[top + j * stride];
    }
  }
}

void fourier_transform::check(std::span<double> re, std::span<double> im) const {
  if (re.size() != n_ || im.size() != n_)
    throw std::invalid_argument("transform of length " + std::to_string(n_) + " given " +
                                std::to_string(re.size()) + " and " + std::to_string(im.size()) +
                                " values");
}

// Natural order in, bit-reversed order out.
void fourier_transform::decimate_in_frequency(std::span<double> re, std::span<double> im) const {
  for (std::size_t h = n_ / 2; h >= 4; h /= 2) {
    for (std::size_t s = 0; s < n_; s += 2 * h) {
      double* ar = re.data() + s;
      double* ai = im.data() + s;
      split_butterflies(ar, ai, ar + h, ai + h, cos_.data() + h, msin_.data() + h, h);
    }
  }
  if (n_ >= 4) quarter_turn_stage(re, im, true);
  if (n_ >= 2) unit_stage(re, im);
}

// Bit-reversed order in, natural order out.
void fourier_transform::decimate_in_time(std::span<double> re, std::span<double> im) const {
  if (n_ >= 2) unit_stage(re, im);
  if (n_ >= 4) quarter_turn_stage(re, im, false);
  for (std::size_t h = 4; h < n_; h *= 2) {
    for (std::size_t s = 0; s < n_; s += 2 * h) {
      double* ar = re.data() + s;
      double* ai = im.data() + s;
      butterflies(ar, ai, ar + h, ai + h, cos_.data() + h, msin_.data() + h, h);
    }
  }
}

void fourier_transform::forward(std::span<double> re, std::span<double> im) const {
  check(re, im);
  decimate_in_frequency(re, im);
  bit_reverse(re, im);
}

// Swapping the real and imaginary parts conjugates the transform's kernel.
void fourier_transform::inverse(std::span<double> re, std::span<double> im) const {
  check(re, im);
  bit_reverse(re, im);
  decimate_in_time(im, re);
}

void fourier_transform::forward_to_reversed(std::span<double> re, std::span<double> im) const {
  check(re, im);
  decimate_in_frequency(re, im);
}

void fourier_transform::inverse_from_reversed(std::span<double> re, std::span<double> im) const {
  check(re, im);
  decimate_in_time(im, re);
}

std::size_t fourier_transform::reversed(std::size_t k) const {
  std::size_t r = 0;
  for (std::size_t bit = 1; bit < n_; bit *= 2) r = (r << 1) | ((k & bit) != 0 ? 1 : 0);
  return r;
}

}  // namespace sitewave::response
