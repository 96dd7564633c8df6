// Line-by-line complex quotient, square root and exponentials over a block,
// each line bit for bit the single-line helper's value. Where the helper
// branches, both candidates are formed and one is chosen: every line still
// sees only the operations of its own branch in their own order.
#include "core/ground/block_complex.hpp"

#include <cmath>

namespace sitewave::ground {

namespace {

// Modulus without intermediate overflow, as the single-line helper forms it.
double modulus(double re, double im) {
  const double a = std::fabs(re);
  const double b = std::fabs(im);
  const bool swap = a < b;
  const double larger = swap ? b : a;
  const double smaller = swap ? a : b;
  const double ratio = smaller / larger;
  const double scaled = larger * std::sqrt(1.0 + ratio * ratio);
  return larger + smaller == larger ? larger : scaled;
}

}  // namespace

void quotient(const complex_lines& a, const complex_lines& b, complex_lines& q) {
  for (std::size_t j = 0; j < block_lines; ++j) {
    const double ar = a.re[j], ai = a.im[j], br = b.re[j], bi = b.im[j];
    // Smith's scaling divides by the larger part of b; naming the parts by
    // their role lets both cases share one sequence of operations.
    const bool by_imag = std::fabs(br) <= std::fabs(bi);
    const double small_part = by_imag ? br : bi;
    const double large_part = by_imag ? bi : br;
    const double scaled = by_imag ? ar : ai;
    const double other = by_imag ? ai : ar;
    const double ratio = small_part / large_part;
    const double den = large_part * (1.0 + ratio * ratio);
    const double re_num = scaled * ratio + other;
    const double cross = other * ratio;
    const double im_num = by_imag ? cross - scaled : scaled - cross;
    q.re[j] = static_cast<float>(re_num / den);
    q.im[j] = static_cast<float>(im_num / den);
  }
}

void square_root(const complex_lines& a, complex_lines& r) {
  for (std::size_t j = 0; j < block_lines; ++j) {
    const double re = a.re[j], im = a.im[j];
    const double mag = modulus(re, im);
    const bool right_half = re > 0.0;
    const double root = std::sqrt(0.5 * (mag + (right_half ? re : -re)));
    const double t = !right_half && im < 0.0 ? -root : root;
    const double u = 0.5 * (im / t);
    const bool zero = mag == 0.0;
    r.re[j] = zero ? 0.0f : static_cast<float>(right_half ? t : u);
    r.im[j] = zero ? 0.0f : static_cast<float>(right_half ? u : t);
  }
}

void exponential_pair(const complex_lines& w, complex_lines& plus, complex_lines& minus) {
  for (std::size_t j = 0; j < block_lines; ++j) {
    const double x = w.re[j], y = w.im[j];
    const double grow = std::exp(x);
    const double decay = std::exp(-x);
    const double c = std::cos(y);
    const double s = std::sin(y);
    plus.re[j] = static_cast<float>(grow * c);
    plus.im[j] = static_cast<float>(grow * s);
    minus.re[j] = static_cast<float>(decay * c);
    minus.im[j] = static_cast<float>(decay * -s);
  }
}

}  // namespace sitewave::ground
