// The record is zero-padded to at least twice its length, so that the sinc
// tails of one end never wrap onto the other, and transformed once. Each
// intermediate phase r / factor of a step is the inverse transform of the
// spectrum delayed by that fraction; two real phases share one complex
// inverse transform as its real and imaginary parts. The delay of phase r is
// the delay of one fine step raised to the power r, a running product over
// the phases that vectorises line by line.
#include "core/response/band_limited.hpp"

#include <bit>
#include <cmath>
#include <cstddef>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>

#include "core/response/fourier.hpp"
#include "core/response/lanes4.hpp"

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

// The padded record's spectrum over N, kept in the transform's bit-reversed
// order, and at each position the delay of one fine step, exp(2 pi i k' /
// (factor N)) with k' = k or k - N, whichever is nearer zero. Positions 0
// and 1 hold the mean and the Nyquist line, whose delays are real.
struct padded_spectrum {
  std::vector<double> re, im;
  std::unique_ptr<double[]> step_re, step_im;
};

padded_spectrum spectrum_of(std::span<const double> record, const fourier_transform& transform,
                            std::size_t factor) {
  const std::size_t length = transform.size();
  padded_spectrum s{std::vector<double>(length, 0.0), std::vector<double>(length, 0.0),
                    std::make_unique_for_overwrite<double[]>(length),
                    std::make_unique_for_overwrite<double[]>(length)};
  std::copy(record.begin(), record.end(), s.re.begin());
  transform.forward_to_reversed(s.re, s.im);
  const double scale = 1.0 / static_cast<double>(length);  // a power of two: exact
  for (std::size_t p = 0; p < length; ++p) {
    s.re[p] *= scale;
    s.im[p] *= scale;
  }
  const std::size_t half = length / 2;
  const phase_table phase(factor * length, half);
  for (std::size_t p = 0; p < 2; ++p) {  // written over before the inverse transform
    s.step_re[p] = 1.0;
    s.step_im[p] = 0.0;
  }
  for (std::size_t p = 2; p < length; ++p) {
    const std::size_t k = transform.reversed(p);
    if (k < half) {
      phase.at(k, s.step_re[p], s.step_im[p]);
    } else {
      phase.at(length - k, s.step_re[p], s.step_im[p]);
      s.step_im[p] = -s.step_im[p];
    }
  }
  return s;
}

// Advances the running delay d by one fine step (two when `pair`) and writes
// the spectrum to invert: X d for one phase, X (d_r + i d_s) for two.
[[gnu::always_inline]] inline void delay_lines(const padded_spectrum& s, double* d_re, double* d_im,
                                               double* y_re, double* y_im, bool pair) {
  const std::size_t length = s.re.size();
  for (std::size_t p = 0; p < length; p += 4) {
    const lanes4 b_re = load4(s.step_re.get() + p), b_im = load4(s.step_im.get() + p);
    const lanes4 d0_re = load4(d_re + p), d0_im = load4(d_im + p);
    lanes4 r_re = d0_re * b_re - d0_im * b_im;
    lanes4 r_im = d0_re * b_im + d0_im * b_re;
    lanes4 c_re = r_re, c_im = r_im;
    if (pair) {
      const lanes4 s_re = r_re * b_re - r_im * b_im;
      const lanes4 s_im = r_re * b_im + r_im * b_re;
      c_re = r_re - s_im;
      c_im = r_im + s_re;
      r_re = s_re;
      r_im = s_im;
    }
    store4(d_re + p, r_re);
    store4(d_im + p, r_im);
    const lanes4 x_re = load4(s.re.data() + p), x_im = load4(s.im.data() + p);
    store4(y_re + p, x_re * c_re - x_im * c_im);
    store4(y_im + p, x_re * c_im + x_im * c_re);
  }
}

void delay_lines_baseline(const padded_spectrum& s, double* d_re, double* d_im, double* y_re,
                          double* y_im, bool pair) {
  delay_lines(s, d_re, d_im, y_re, y_im, pair);
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] void delay_lines_avx2(const padded_spectrum& s, double* d_re, double* d_im,
                                              double* y_re, double* y_im, bool pair) {
  delay_lines(s, d_re, d_im, y_re, y_im, pair);
}
#endif

// The phases r and r + 1 (or r alone) of every step, each inverse transform
// carrying two real signals.
class phase_writer {
 public:
  phase_writer(const padded_spectrum& s, const fourier_transform& transform, std::size_t factor,
               simd_path path)
      : s_(s),
        transform_(transform),
        factor_(factor),
        wide_(path == simd_path::avx2 && runs_on_this_machine(path)),
        d_re_(s.re.size(), 1.0),
        d_im_(s.re.size(), 0.0),
        y_re_(std::make_unique_for_overwrite<double[]>(s.re.size())),
        y_im_(std::make_unique_for_overwrite<double[]>(s.re.size())) {}

  void write(std::size_t r, bool pair, std::size_t steps, std::span<double> out) {
#if defined(__x86_64__)
    if (wide_)
      delay_lines_avx2(s_, d_re_.data(), d_im_.data(), y_re_.get(), y_im_.get(), pair);
    else
#endif
      delay_lines_baseline(s_, d_re_.data(), d_im_.data(), y_re_.get(), y_im_.get(), pair);
    // The mean is not delayed; the Nyquist line is shared equally by +N/2
    // and -N/2, so its delay turns into a cosine.
    y_re_[0] = s_.re[0];
    y_im_[0] = pair ? s_.re[0] : 0.0;
    y_re_[1] = s_.re[1] * nyquist_delay(r);
    y_im_[1] = pair ? s_.re[1] * nyquist_delay(r + 1) : 0.0;
    const std::size_t length = s_.re.size();
    transform_.inverse_from_reversed(std::span(y_re_.get(), length),
                                     std::span(y_im_.get(), length));
    for (std::size_t j = 0; j < steps; ++j) {
      out[j * factor_ + r] = y_re_[j];
      if (pair) out[j * factor_ + r + 1] = y_im_[j];
    }
  }

 private:
  double nyquist_delay(std::size_t r) const {
    return std::cos(std::numbers::pi * static_cast<double>(r) / static_cast<double>(factor_));
  }

  const padded_spectrum& s_;
  const fourier_transform& transform_;
  std::size_t factor_;
  bool wide_;
  std::vector<double> d_re_, d_im_;        // the delay of the phase last written
  std::unique_ptr<double[]> y_re_, y_im_;  // written whole before each read
};

}  // namespace

std::vector<double> band_limited_interpolation(std::span<const double> record, int factor,
                                               simd_path path) {
  if (factor < 1)
    throw std::invalid_argument("interpolation factor " + std::to_string(factor) + " is below 1");
  const auto f = static_cast<std::size_t>(factor);
  if (record.size() < 2 || f == 1) return {record.begin(), record.end()};

  const std::size_t steps = record.size() - 1;
  std::vector<double> out(steps * f + 1);
  for (std::size_t j = 0; j < record.size(); ++j) out[j * f] = record[j];

  const fourier_transform transform(std::bit_ceil(2 * record.size()), path);
  const padded_spectrum s = spectrum_of(record, transform, f);
  phase_writer writer(s, transform, f, path);
  for (std::size_t r = 1; r < f; r += 2) writer.write(r, r + 1 < f, steps, out);
  return out;
}

}  // namespace sitewave::response
