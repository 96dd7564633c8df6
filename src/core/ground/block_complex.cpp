// Line-by-line complex quotient, square root and exponentials over a block,
// each line bit for bit the single-line helper's value. The double-precision
// arithmetic runs on pairs of lines at once (division and square root are
// exactly rounded, so a pair gives what two single operations give). Where
// the helper branches, both candidates are formed and one is chosen: every
// line still sees only the operations of its own branch in their own order.
#include "core/ground/block_complex.hpp"

#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sitewave::ground {

namespace {

// Two lines' values side by side, and the all-ones or all-zeros per line
// that comparing two pairs gives.
using pair = double __attribute__((vector_size(16)));
using pair_mask = std::int64_t __attribute__((vector_size(16)));

static_assert(block_lines % 2 == 0);

pair load(const line_values& v, std::size_t j) {
  return pair{v[j], v[j + 1]};
}

void store(line_values& v, std::size_t j, pair x) {
  v[j] = static_cast<float>(x[0]);
  v[j + 1] = static_cast<float>(x[1]);
}

pair splat(double x) {
  return pair{x, x};
}

pair magnitude(pair x) {
  const pair_mask no_sign = {INT64_MAX, INT64_MAX};
  return reinterpret_cast<pair>(reinterpret_cast<pair_mask>(x) & no_sign);
}

pair square_root_of(pair x) {
#if defined(__SSE2__)
  return _mm_sqrt_pd(x);
#else
  return pair{std::sqrt(x[0]), std::sqrt(x[1])};
#endif
}

// Modulus without intermediate overflow, as the single-line helper forms it.
pair modulus(pair re, pair im) {
  const pair a = magnitude(re);
  const pair b = magnitude(im);
  const pair_mask swap = a < b;
  const pair larger = swap ? b : a;
  const pair smaller = swap ? a : b;
  const pair ratio = smaller / larger;
  const pair scaled = larger * square_root_of(splat(1.0) + ratio * ratio);
  return larger + smaller == larger ? larger : scaled;
}

}  // namespace

void quotient(const complex_lines& a, const complex_lines& b, complex_lines& q) {
  for (std::size_t j = 0; j < block_lines; j += 2) {
    const pair ar = load(a.re, j), ai = load(a.im, j), br = load(b.re, j), bi = load(b.im, j);
    // Smith's scaling divides by the larger part of b; naming the parts by
    // their role lets both cases share one sequence of operations.
    const pair_mask by_imag = magnitude(br) <= magnitude(bi);
    const pair small_part = by_imag ? br : bi;
    const pair large_part = by_imag ? bi : br;
    const pair scaled = by_imag ? ar : ai;
    const pair other = by_imag ? ai : ar;
    const pair ratio = small_part / large_part;
    const pair den = large_part * (splat(1.0) + ratio * ratio);
    const pair re_num = scaled * ratio + other;
    const pair cross = other * ratio;
    const pair im_num = by_imag ? cross - scaled : scaled - cross;
    store(q.re, j, re_num / den);
    store(q.im, j, im_num / den);
  }
}

void square_root(const complex_lines& a, complex_lines& r) {
  for (std::size_t j = 0; j < block_lines; j += 2) {
    const pair re = load(a.re, j), im = load(a.im, j);
    const pair mag = modulus(re, im);
    const pair_mask right_half = re > splat(0.0);
    const pair root = square_root_of(splat(0.5) * (mag + (right_half ? re : -re)));
    const pair_mask negate = ~right_half & (im < splat(0.0));
    const pair t = negate ? -root : root;
    const pair u = splat(0.5) * (im / t);
    const pair_mask zero = mag == splat(0.0);
    store(r.re, j, zero ? splat(0.0) : right_half ? t : u);
    store(r.im, j, zero ? splat(0.0) : right_half ? u : t);
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
