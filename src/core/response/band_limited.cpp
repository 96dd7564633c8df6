// The record is zero-padded to at least twice its length, so that the sinc
// tails of one end never wrap onto the other, and transformed once. Each
// intermediate phase r / factor of a step is the inverse transform of the
// spectrum delayed by that fraction; two real phases share one complex
// inverse transform as its real and imaginary parts. The spectrum delayed to
// phase r is the one delayed to phase r - 1 times the delay of one fine step,
// a running product over the phases that vectorises line by line.
#include "core/response/band_limited.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <stdexcept>
#include <string>

#include "core/response/fourier.hpp"
#include "core/response/lanes.hpp"

namespace sitewave::response {

namespace {

// exp(2 pi i e / period) for 0 <= e < limit, as the product of a coarse and
// a fine table entry: two roundings whatever e, for a few thousand sines.
class phase_table {
 public:
  phase_table(std::size_t period, std::size_t limit)
      : period_(period), fine_(2 * fine_size), coarse_(2 * (limit / fine_size + 1)) {
    for (std::size_t l = 0; l < fine_size; ++l) unit(l, fine_, l);
    for (std::size_t h = 0; h < coarse_.size() / 2; ++h) unit(h * fine_size, coarse_, h);
  }

  void at(std::size_t e, double& re, double& im) const {
    const double cr = coarse_[2 * (e / fine_size)], ci = coarse_[2 * (e / fine_size) + 1];
    const double fr = fine_[2 * (e % fine_size)], fi = fine_[2 * (e % fine_size) + 1];
    re = cr * fr - ci * fi;
    im = cr * fi + ci * fr;
  }

 private:
  static constexpr std::size_t fine_size = 1024;

  void unit(std::size_t e, std::vector<double>& table, std::size_t slot) const {
    const double angle =
        2.0 * std::numbers::pi * static_cast<double>(e) / static_cast<double>(period_);
    table[2 * slot] = std::cos(angle);
    table[2 * slot + 1] = std::sin(angle);
  }

  std::size_t period_;
  std::vector<double> fine_;
  std::vector<double> coarse_;
};

// The arrays of transform length the interpolation works in, in the caller's
// scratch storage, each starting 64 values (512 bytes) after the end of the
// one before. Arrays a whole number of pages apart share the low address bits
// by which the processor matches a load with earlier stores, and the transform
// over them runs about three times slower.
class line_arrays {
 public:
  enum name : std::size_t {
    delayed_re,  // the spectrum delayed to the phase last written, in bit-reversed order
    delayed_im,
    step_re,  // the delay of one fine step at each position
    step_im,
    work_re,  // the spectrum to invert, then the phases
    work_im,
    count
  };

  static std::size_t size_for(std::size_t length) { return count * (length + stagger); }

  line_arrays(std::size_t length, std::span<double> scratch)
      : length_(length), storage_(scratch.data()) {}

  std::size_t length() const { return length_; }
  double* operator[](name a) { return storage_ + a * stride(); }
  const double* operator[](name a) const { return storage_ + a * stride(); }
  std::span<double> span(name a) { return {(*this)[a], length_}; }

 private:
  static constexpr std::size_t stagger = 64;
  std::size_t stride() const { return length_ + stagger; }

  std::size_t length_;
  double* storage_;
};

std::size_t transform_length(std::size_t samples) {
  return std::bit_ceil(2 * samples);
}

// The spectrum over N of the record padded with zeros (phase 0, not yet
// delayed), and at each position the delay of one fine step, exp(2 pi i k' /
// (factor N)) with k' = k or k - N, whichever is nearer zero. Positions 0
// and 1 hold the mean and the Nyquist line, whose delays are real and set
// apart; their steps are 1, so they keep their values as phases advance.
void transform_record(std::span<const double> record, const fourier_transform& transform,
                      std::size_t factor, line_arrays& a) {
  using enum line_arrays::name;
  const std::size_t length = a.length();
  std::fill(std::copy(record.begin(), record.end(), a[delayed_re]), a[delayed_re] + length, 0.0);
  std::fill(a[delayed_im], a[delayed_im] + length, 0.0);
  transform.forward_to_reversed(a.span(delayed_re), a.span(delayed_im));
  const double scale = 1.0 / static_cast<double>(length);  // a power of two: exact
  for (std::size_t p = 0; p < length; ++p) {
    a[delayed_re][p] *= scale;
    a[delayed_im][p] *= scale;
  }
  const std::size_t half = length / 2;
  const phase_table phase(factor * length, half);
  for (std::size_t p = 0; p < 2; ++p) {
    a[step_re][p] = 1.0;
    a[step_im][p] = 0.0;
  }
  // k runs through the lines held at positions 1, 2, 3, ..., the bit
  // reversals of the positions, counted up from the top bit.
  for (std::size_t p = 1, k = 0; p < length; ++p) {
    std::size_t bit = half;
    for (; (k & bit) != 0; bit >>= 1) k ^= bit;
    k |= bit;
    if (p < 2) continue;
    if (k < half) {
      phase.at(k, a[step_re][p], a[step_im][p]);
    } else {
      phase.at(length - k, a[step_re][p], a[step_im][p]);
      a[step_im][p] = -a[step_im][p];
    }
  }
}

// Delays the spectrum by one fine step (two when `pair`) and writes the
// spectrum to invert: e_r for one phase, e_r + i e_{r+1} for two.
template <class V>
[[gnu::always_inline]] inline void delay_lines(line_arrays& a, bool pair) {
  using enum line_arrays::name;
  const double *b_re = a[step_re], *b_im = a[step_im];
  double *e_re = a[delayed_re], *e_im = a[delayed_im];
  double *y_re = a[work_re], *y_im = a[work_im];
  for (std::size_t p = 0; p < a.length(); p += width_of<V>) {
    const V br = load_lanes<V>(b_re + p), bi = load_lanes<V>(b_im + p);
    const V er = load_lanes<V>(e_re + p), ei = load_lanes<V>(e_im + p);
    V r_re = er * br - ei * bi;
    V r_im = er * bi + ei * br;
    V y_r = r_re, y_i = r_im;
    if (pair) {
      const V s_re = r_re * br - r_im * bi;
      const V s_im = r_re * bi + r_im * br;
      y_r = r_re - s_im;
      y_i = r_im + s_re;
      r_re = s_re;
      r_im = s_im;
    }
    store_lanes(e_re + p, r_re);
    store_lanes(e_im + p, r_im);
    store_lanes(y_re + p, y_r);
    store_lanes(y_im + p, y_i);
  }
}

void delay_lines_baseline(line_arrays& a, bool pair) {
  delay_lines<lanes2>(a, pair);
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] void delay_lines_avx2(line_arrays& a, bool pair) {
  delay_lines<lanes4>(a, pair);
}
#endif

double nyquist_delay(std::size_t r, std::size_t factor) {
  return std::cos(std::numbers::pi * static_cast<double>(r) / static_cast<double>(factor));
}

// Writes phases r and r + 1 (or r alone) of every step into out: the two real
// signals travel as the real and imaginary parts of one inverse transform.
void write_phases(line_arrays& a, const fourier_transform& transform, std::size_t r, bool pair,
                  std::size_t factor, bool wide, std::span<double> out) {
  using enum line_arrays::name;
#if defined(__x86_64__)
  if (wide)
    delay_lines_avx2(a, pair);
  else
#endif
    delay_lines_baseline(a, pair);
  // The mean is not delayed; the Nyquist line is shared equally by +N/2 and
  // -N/2, so its delay turns into a cosine.
  const double mean = a[delayed_re][0], nyquist = a[delayed_re][1];
  a[work_re][0] = mean;
  a[work_im][0] = pair ? mean : 0.0;
  a[work_re][1] = nyquist * nyquist_delay(r, factor);
  a[work_im][1] = pair ? nyquist * nyquist_delay(r + 1, factor) : 0.0;
  transform.inverse_from_reversed(a.span(work_re), a.span(work_im));
  const std::size_t steps = (out.size() - 1) / factor;
  for (std::size_t j = 0; j < steps; ++j) {
    out[j * factor + r] = a[work_re][j];
    if (pair) out[j * factor + r + 1] = a[work_im][j];
  }
}

}  // namespace

std::size_t interpolation_scratch_size(std::size_t samples) {
  return samples < 2 ? 0 : line_arrays::size_for(transform_length(samples));
}

void band_limited_interpolation(std::span<const double> record, int factor, std::span<double> out,
                                std::span<double> scratch, simd_path path) {
  if (factor < 1)
    throw std::invalid_argument("interpolation factor " + std::to_string(factor) + " is below 1");
  const auto f = static_cast<std::size_t>(factor);
  const std::size_t wanted = record.empty() ? 0 : (record.size() - 1) * f + 1;
  if (out.size() != wanted)
    throw std::invalid_argument(std::to_string(record.size()) + " samples interpolated " +
                                std::to_string(factor) + " times finer give " +
                                std::to_string(wanted) + " values, not " +
                                std::to_string(out.size()));
  if (scratch.size() < interpolation_scratch_size(record.size()))
    throw std::invalid_argument(
        "interpolating " + std::to_string(record.size()) + " samples needs " +
        std::to_string(interpolation_scratch_size(record.size())) +
        " values of scratch storage, not " + std::to_string(scratch.size()));
  for (std::size_t j = 0; j < record.size(); ++j) out[j * f] = record[j];
  if (record.size() < 2 || f == 1) return;

  const fourier_transform transform(transform_length(record.size()), path);
  line_arrays a(transform.size(), scratch);
  transform_record(record, transform, f, a);
  const bool wide = path == simd_path::avx2 && runs_on_this_machine(path);
  for (std::size_t r = 1; r < f; r += 2) write_phases(a, transform, r, r + 1 < f, f, wide, out);
}

std::vector<double> band_limited_interpolation(std::span<const double> record, int factor,
                                               simd_path path) {
  if (factor < 1)
    throw std::invalid_argument("interpolation factor " + std::to_string(factor) + " is below 1");
  std::vector<double> out(
      record.empty() ? 0 : (record.size() - 1) * static_cast<std::size_t>(factor) + 1);
  std::vector<double> scratch(interpolation_scratch_size(record.size()));
  band_limited_interpolation(record, factor, out, scratch, path);
  return out;
}

}  // namespace sitewave::response
