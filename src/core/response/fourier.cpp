// Radix-4 stages (a radix-2 one where log2 n is odd) on separate real and
// imaginary parts, so that neighbouring butterflies share one vector load of
// each operand: decimation in frequency from natural to bit-reversed
// order, decimation in time back. Each radix-4 stage stores its quarters in
// the order two radix-2 stages would, so the spectrum comes out bit-reversed
// whatever mix of stages the length takes. The twiddles come from one octant
// of the circle, so the table is exactly symmetric.
#include "core/response/fourier.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

#include "core/response/lanes.hpp"

namespace sitewave::response {

namespace {

// cos and sin of 2 pi m / n for 0 <= m < n, exact under the circle's
// symmetries: computed on the first octant and read back by reflection.
class unit_circle {
 public:
  explicit unit_circle(std::size_t n) : n_(n), c_(n % 8 == 0 ? n / 8 + 1 : n), s_(c_.size()) {
    for (std::size_t m = 0; m < c_.size(); ++m) {
      const double angle = 2.0 * std::numbers::pi * static_cast<double>(m) / static_cast<double>(n);
      c_[m] = std::cos(angle);
      s_[m] = std::sin(angle);
    }
  }

  void at(std::size_t m, double& c, double& s) const {
    if (n_ % 8 != 0 || m <= n_ / 8) {
      c = c_[m];
      s = s_[m];
    } else if (m <= n_ / 4) {  // pi/2 - angle(n/4 - m)
      at(n_ / 4 - m, s, c);
    } else if (m <= n_ / 2) {  // pi - angle(n/2 - m)
      at(n_ / 2 - m, c, s);
      c = -c;
    } else {  // 2 pi - angle(n - m)
      at(n_ - m, c, s);
      s = -s;
    }
  }

 private:
  std::size_t n_;
  std::vector<double> c_, s_;
};

// Where the twiddles of the radix-4 stage of quarter length q begin: six rows
// of q values (cos and -sin of 2 pi c j / 4q for c = 1, 2, 3) in [2q, 8q),
// the blocks of the stages q = 1, 4, 16, ... or 2, 8, 32, ... end to end.
std::size_t stage_offset(std::size_t q) {
  return 2 * q;
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

// The transform's operations over one value (double) or neighbours side by
// side in a vector (lanes2, lanes4), on the real and imaginary parts at
// re[i], im[i].
template <class T>
struct cvalue {
  T re, im;
};

template <class T>
[[gnu::always_inline]] inline T load_as(const double* p) {
  if constexpr (std::is_same_v<T, double>)
    return *p;
  else
    return load_lanes<T>(p);
}

template <class T>
[[gnu::always_inline]] inline void store_as(double* p, T v) {
  if constexpr (std::is_same_v<T, double>)
    *p = v;
  else
    store_lanes(p, v);
}

template <class T>
[[gnu::always_inline]] inline cvalue<T> load_c(const double* re, const double* im, std::size_t i) {
  return {load_as<T>(re + i), load_as<T>(im + i)};
}

template <class T>
[[gnu::always_inline]] inline void store_c(double* re, double* im, std::size_t i, cvalue<T> v) {
  store_as<T>(re + i, v.re);
  store_as<T>(im + i, v.im);
}

template <class T>
[[gnu::always_inline]] inline cvalue<T> add(cvalue<T> a, cvalue<T> b) {
  return {a.re + b.re, a.im + b.im};
}

template <class T>
[[gnu::always_inline]] inline cvalue<T> sub(cvalue<T> a, cvalue<T> b) {
  return {a.re - b.re, a.im - b.im};
}

// a times -i, an exchange of parts.
template <class T>
[[gnu::always_inline]] inline cvalue<T> minus_i(cvalue<T> a) {
  return {a.im, -a.re};
}

template <class T>
[[gnu::always_inline]] inline cvalue<T> mul(cvalue<T> a, cvalue<T> w) {
  return {a.re * w.re - a.im * w.im, a.re * w.im + a.im * w.re};
}

// The three twiddles of butterfly j of a stage whose table starts at w.
template <class T>
struct twiddles {
  cvalue<T> w1, w2, w3;
};

template <class T>
[[gnu::always_inline]] inline twiddles<T> twiddles_at(const double* w, std::size_t q,
                                                      std::size_t j) {
  return {load_c<T>(w, w + q, j), load_c<T>(w + 2 * q, w + 3 * q, j),
          load_c<T>(w + 4 * q, w + 5 * q, j)};
}

// Radix-4 butterfly of the decimation in frequency at x[j], x[j+q], x[j+2q],
// x[j+3q]; the sub-transforms of the outputs 4k, 4k+2, 4k+1, 4k+3 go to the
// quarters in that order, as two radix-2 stages leave them.
template <class T, bool unit_twiddles>
[[gnu::always_inline]] inline void split_quarters(double* re, double* im, std::size_t q,
                                                  std::size_t j, const twiddles<T>& w) {
  const cvalue<T> x0 = load_c<T>(re, im, j), x1 = load_c<T>(re, im, j + q);
  const cvalue<T> x2 = load_c<T>(re, im, j + 2 * q), x3 = load_c<T>(re, im, j + 3 * q);
  const cvalue<T> t0 = add(x0, x2), t1 = sub(x0, x2);
  const cvalue<T> t2 = add(x1, x3), t3 = minus_i(sub(x1, x3));
  store_c(re, im, j, add(t0, t2));
  if constexpr (unit_twiddles) {
    store_c(re, im, j + q, sub(t0, t2));
    store_c(re, im, j + 2 * q, add(t1, t3));
    store_c(re, im, j + 3 * q, sub(t1, t3));
  } else {
    store_c(re, im, j + q, mul(sub(t0, t2), w.w2));
    store_c(re, im, j + 2 * q, mul(add(t1, t3), w.w1));
    store_c(re, im, j + 3 * q, mul(sub(t1, t3), w.w3));
  }
}

// Radix-4 butterfly of the decimation in time: the transpose of the above.
template <class T, bool unit_twiddles>
[[gnu::always_inline]] inline void join_quarters(double* re, double* im, std::size_t q,
                                                 std::size_t j, const twiddles<T>& w) {
  const cvalue<T> s0 = load_c<T>(re, im, j);
  cvalue<T> s2 = load_c<T>(re, im, j + q), s1 = load_c<T>(re, im, j + 2 * q);
  cvalue<T> s3 = load_c<T>(re, im, j + 3 * q);
  if constexpr (!unit_twiddles) {
    s1 = mul(s1, w.w1);
    s2 = mul(s2, w.w2);
    s3 = mul(s3, w.w3);
  }
  const cvalue<T> t0 = add(s0, s2), t1 = sub(s0, s2);
  const cvalue<T> t2 = add(s1, s3), t3 = minus_i(sub(s1, s3));
  store_c(re, im, j, add(t0, t2));
  store_c(re, im, j + q, add(t1, t3));
  store_c(re, im, j + 2 * q, sub(t0, t2));
  store_c(re, im, j + 3 * q, sub(t1, t3));
}

// Rows of four lines become columns: line c of four blocks in one vector.
// The transpose is its own inverse.
[[gnu::always_inline]] inline void transpose(lanes4 (&r)[4]) {
  const lanes4 t0 = __builtin_shufflevector(r[0], r[1], 0, 4, 2, 6);
  const lanes4 t1 = __builtin_shufflevector(r[0], r[1], 1, 5, 3, 7);
  const lanes4 t2 = __builtin_shufflevector(r[2], r[3], 0, 4, 2, 6);
  const lanes4 t3 = __builtin_shufflevector(r[2], r[3], 1, 5, 3, 7);
  r[0] = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
  r[1] = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
  r[2] = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
  r[3] = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
}

// The stage of q = 1 on four blocks of four lines at once, with the same
// operations as split_quarters and join_quarters with unit twiddles.
template <bool from_natural>
[[gnu::always_inline]] inline void unit_quarters_of_four_blocks(double* re, double* im) {
  lanes4 r[4], i[4];
  for (std::size_t k = 0; k < 4; ++k) {
    r[k] = load_lanes<lanes4>(re + 4 * k);
    i[k] = load_lanes<lanes4>(im + 4 * k);
  }
  transpose(r);
  transpose(i);
  using c4 = cvalue<lanes4>;
  const c4 x0{r[0], i[0]}, x1{r[1], i[1]}, x2{r[2], i[2]}, x3{r[3], i[3]};
  c4 y[4];
  if constexpr (from_natural) {
    const c4 t0 = add(x0, x2), t1 = sub(x0, x2), t2 = add(x1, x3), t3 = minus_i(sub(x1, x3));
    y[0] = add(t0, t2);
    y[1] = sub(t0, t2);
    y[2] = add(t1, t3);
    y[3] = sub(t1, t3);
  } else {  // the quarters hold the sub-transforms in the order 0, 2, 1, 3
    const c4 t0 = add(x0, x1), t1 = sub(x0, x1), t2 = add(x2, x3), t3 = minus_i(sub(x2, x3));
    y[0] = add(t0, t2);
    y[1] = add(t1, t3);
    y[2] = sub(t0, t2);
    y[3] = sub(t1, t3);
  }
  for (std::size_t k = 0; k < 4; ++k) {
    r[k] = y[k].re;
    i[k] = y[k].im;
  }
  transpose(r);
  transpose(i);
  for (std::size_t k = 0; k < 4; ++k) {
    store_lanes(re + 4 * k, r[k]);
    store_lanes(im + 4 * k, i[k]);
  }
}

// One radix-4 stage over all blocks of 4q values. A vector of butterflies at
// a time where a block has them side by side; the stage of q = 1, whose
// twiddles are all 1, without multiplications.
template <bool from_natural, class V>
[[gnu::always_inline]] inline void radix4_stage(double* re, double* im, std::size_t n,
                                                std::size_t q, const double* w) {
  if (q == 1) {
    std::size_t s = 0;
    if constexpr (width_of<V> == 4)
      for (; s + 16 <= n; s += 16) unit_quarters_of_four_blocks<from_natural>(re + s, im + s);
    const twiddles<double> none{};
    for (; s < n; s += 4) {
      if constexpr (from_natural)
        split_quarters<double, true>(re + s, im + s, 1, 0, none);
      else
        join_quarters<double, true>(re + s, im + s, 1, 0, none);
    }
    return;
  }
  for (std::size_t s = 0; s < n; s += 4 * q) {
    double* br = re + s;
    double* bi = im + s;
    std::size_t j = 0;
    for (; j + width_of<V> <= q; j += width_of<V>) {
      const twiddles<V> t = twiddles_at<V>(w, q, j);
      if constexpr (from_natural)
        split_quarters<V, false>(br, bi, q, j, t);
      else
        join_quarters<V, false>(br, bi, q, j, t);
    }
    for (; j < q; ++j) {
      const twiddles<double> t = twiddles_at<double>(w, q, j);
      if constexpr (from_natural)
        split_quarters<double, false>(br, bi, q, j, t);
      else
        join_quarters<double, false>(br, bi, q, j, t);
    }
  }
}

// The stage of pairs, whose twiddle is 1, in either direction.
[[gnu::always_inline]] inline void unit_stage(double* re, double* im, std::size_t n) {
  for (std::size_t s = 0; s < n; s += 2) {
    const double ar = re[s], ai = im[s], br = re[s + 1], bi = im[s + 1];
    re[s] = ar + br;
    im[s] = ai + bi;
    re[s + 1] = ar - br;
    im[s + 1] = ai - bi;
  }
}

// A transform of many lines is bound by memory traffic, not arithmetic: the
// stages run depth first, those of the largest blocks over the whole array,
// then every block that fits the level-2 cache through its own stages, and
// within it every block that fits the level-1 cache. Each butterfly sees the
// same operands in the same order as stage by stage over the whole array.
constexpr std::size_t level2_lines = 16384;  // 256 kB of real and imaginary parts
constexpr std::size_t level1_lines = 1024;   // 16 kB

// The radix-4 stages of a transform of `lines` whose blocks of 4q lines are
// larger than `above` and at most `up_to`, over [0, n), largest first or
// smallest first.
template <bool from_natural, class V>
[[gnu::always_inline]] inline void stages_between(double* re, double* im, std::size_t n,
                                                  std::size_t lines, std::size_t above,
                                                  std::size_t up_to, const double* table) {
  const std::size_t smallest_q = std::countr_zero(lines) % 2 == 1 ? 2 : 1;
  const auto in_band = [&](std::size_t q) { return 4 * q > above && 4 * q <= up_to; };
  if constexpr (from_natural) {
    for (std::size_t q = lines / 4; q >= smallest_q; q /= 4)
      if (in_band(q)) radix4_stage<true, V>(re, im, n, q, table + stage_offset(q));
  } else {
    for (std::size_t q = smallest_q; 4 * q <= lines; q *= 4)
      if (in_band(q)) radix4_stage<false, V>(re, im, n, q, table + stage_offset(q));
  }
}

template <class V>
[[gnu::always_inline]] inline void run_decimation_in_frequency(double* re, double* im,
                                                               std::size_t n, const double* table) {
  const std::size_t l2 = std::min(n, level2_lines), l1 = std::min(n, level1_lines);
  stages_between<true, V>(re, im, n, n, level2_lines, n, table);
  for (std::size_t s2 = 0; s2 < n; s2 += l2) {
    stages_between<true, V>(re + s2, im + s2, l2, n, level1_lines, level2_lines, table);
    for (std::size_t s1 = s2; s1 < s2 + l2; s1 += l1) {
      stages_between<true, V>(re + s1, im + s1, l1, n, 0, level1_lines, table);
      if (std::countr_zero(n) % 2 == 1) unit_stage(re + s1, im + s1, l1);
    }
  }
}

template <class V>
[[gnu::always_inline]] inline void run_decimation_in_time(double* re, double* im, std::size_t n,
                                                          const double* table) {
  const std::size_t l2 = std::min(n, level2_lines), l1 = std::min(n, level1_lines);
  for (std::size_t s2 = 0; s2 < n; s2 += l2) {
    for (std::size_t s1 = s2; s1 < s2 + l2; s1 += l1) {
      if (std::countr_zero(n) % 2 == 1) unit_stage(re + s1, im + s1, l1);
      stages_between<false, V>(re + s1, im + s1, l1, n, 0, level1_lines, table);
    }
    stages_between<false, V>(re + s2, im + s2, l2, n, level1_lines, level2_lines, table);
  }
  stages_between<false, V>(re, im, n, n, level2_lines, n, table);
}

void decimation_in_frequency_baseline(double* re, double* im, std::size_t n, const double* table) {
  run_decimation_in_frequency<lanes2>(re, im, n, table);
}

void decimation_in_time_baseline(double* re, double* im, std::size_t n, const double* table) {
  run_decimation_in_time<lanes2>(re, im, n, table);
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] void decimation_in_frequency_avx2(double* re, double* im, std::size_t n,
                                                          const double* table) {
  run_decimation_in_frequency<lanes4>(re, im, n, table);
}

[[gnu::target("avx2")]] void decimation_in_time_avx2(double* re, double* im, std::size_t n,
                                                     const double* table) {
  run_decimation_in_time<lanes4>(re, im, n, table);
}
#endif

}  // namespace

fourier_transform::fourier_transform(std::size_t n, simd_path path)
    : n_(n), wide_(path == simd_path::avx2 && runs_on_this_machine(path)) {
  if (n == 0 || !std::has_single_bit(n))
    throw std::invalid_argument("transform length " + std::to_string(n) + " is not a power of two");
  if (n < 4) return;
  const unit_circle circle(n);
  twiddles_.resize(stage_offset(n / 4) + 6 * (n / 4));
  for (std::size_t q = n / 4; q >= 1; q /= 4) {
    double* w = twiddles_.data() + stage_offset(q);
    const std::size_t stride = n / (4 * q);  // 2 pi c j / 4q = 2 pi (c j stride) / n
    for (std::size_t j = 0; j < q; ++j) {
      for (std::size_t turn = 1; turn <= 3; ++turn) {
        double c = 0.0, s = 0.0;
        circle.at(turn * j * stride, c, s);
        w[(2 * turn - 2) * q + j] = c;
        w[(2 * turn - 1) * q + j] = -s;
      }
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
#if defined(__x86_64__)
  if (wide_) return decimation_in_frequency_avx2(re.data(), im.data(), n_, twiddles_.data());
#endif
  decimation_in_frequency_baseline(re.data(), im.data(), n_, twiddles_.data());
}

// Bit-reversed order in, natural order out.
void fourier_transform::decimate_in_time(std::span<double> re, std::span<double> im) const {
#if defined(__x86_64__)
  if (wide_) return decimation_in_time_avx2(re.data(), im.data(), n_, twiddles_.data());
#endif
  decimation_in_time_baseline(re.data(), im.data(), n_, twiddles_.data());
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

// The bits of k swapped pairwise, then in twos, fours and bytes, reverse all
// 64; the top log2 n of them are k's reversed.
std::size_t fourier_transform::reversed(std::size_t k) const {
  if (n_ < 2) return 0;
  std::uint64_t x = k;
  x = ((x >> 1) & 0x5555555555555555u) | ((x & 0x5555555555555555u) << 1);
  x = ((x >> 2) & 0x3333333333333333u) | ((x & 0x3333333333333333u) << 2);
  x = ((x >> 4) & 0x0F0F0F0F0F0F0F0Fu) | ((x & 0x0F0F0F0F0F0F0F0Fu) << 4);
  x = __builtin_bswap64(x);
  return static_cast<std::size_t>(x >> (64 - std::countr_zero(n_)));
}

}  // namespace sitewave::response
