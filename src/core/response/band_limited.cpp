// The record is zero-padded to at least twice its length, so that the sinc
// tails of one end never wrap onto the other, and transformed once. Each
// intermediate phase r / factor of a step is the inverse transform of the
// spectrum delayed by that fraction; two real phases share one complex
// inverse transform as its real and imaginary parts.
#include "core/response/band_limited.hpp"

#include <bit>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <stdexcept>
#include <string>

#include "core/response/fourier.hpp"

namespace sitewave::response {

namespace {

struct complex_value {
  double re = 0.0;
  double im = 0.0;
};

complex_value times(complex_value a, complex_value b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

// exp(2 pi i e / period) for 0 <= e < limit, as the product of a coarse and
// a fine table entry: two roundings whatever e, for a few thousand sines.
class phase_table {
 public:
  phase_table(std::size_t period, std::size_t limit)
      : period_(period), fine_(fine_size), coarse_(limit / fine_size + 1) {
    for (std::size_t l = 0; l < fine_.size(); ++l) fine_[l] = unit(l);
    for (std::size_t h = 0; h < coarse_.size(); ++h) coarse_[h] = unit(h * fine_size);
  }

  complex_value operator()(std::size_t e) const {
    return times(coarse_[e / fine_size], fine_[e % fine_size]);
  }

 private:
  static constexpr std::size_t fine_size = 1024;

  complex_value unit(std::size_t e) const {
    const double angle =
        2.0 * std::numbers::pi * static_cast<double>(e) / static_cast<double>(period_);
    return {std::cos(angle), std::sin(angle)};
  }

  std::size_t period_;
  std::vector<complex_value> fine_;
  std::vector<complex_value> coarse_;
};

// The padded record's spectrum, kept in the transform's bit-reversed order,
// and the line held at each position.
struct padded_spectrum {
  std::size_t length;  // N
  std::vector<double> re, im;
  std::vector<std::size_t> line;
};

padded_spectrum spectrum_of(std::span<const double> record, const fourier_transform& transform) {
  const std::size_t length = transform.size();
  padded_spectrum s{length, std::vector<double>(length, 0.0), std::vector<double>(length, 0.0),
                    std::vector<std::size_t>(length)};
  std::copy(record.begin(), record.end(), s.re.begin());
  transform.forward_to_reversed(s.re, s.im);
  for (std::size_t position = 0; position < length; ++position)
    s.line[position] = transform.reversed(position);
  return s;
}

// Line k (at `position`) of the record delayed by r / factor of a step:
// exp(2 pi i k' r / (factor N)) X(k) with k' = k or k - N, whichever is
// nearer zero. The Nyquist line is shared equally by +N/2 and -N/2, so its
// delay turns into a cosine; the mean and the Nyquist line of a real record
// are real.
complex_value delayed_line(const padded_spectrum& s, const phase_table& phase, std::size_t position,
                           std::size_t k, std::size_t r, std::size_t factor) {
  const complex_value x{s.re[position], s.im[position]};
  const std::size_t half = s.length / 2;
  if (k == 0) return {x.re, 0.0};
  if (k == half) {
    const double turn = std::numbers::pi * static_cast<double>(r) / static_cast<double>(factor);
    return {x.re * std::cos(turn), 0.0};
  }
  if (k < half) return times(x, phase(r * k));
  const complex_value back = phase(r * (s.length - k));
  return times(x, {back.re, -back.im});
}

// Writes phases r and (when s_phase < factor) s_phase of every step into
// out: the two real signals travel as the real and imaginary parts of one
// inverse transform.
void fill_phase_pair(const padded_spectrum& s, const phase_table& phase,
                     const fourier_transform& transform, std::size_t r, std::size_t s_phase,
                     std::size_t factor, std::size_t steps, std::span<double> out) {
  const bool pair = s_phase < factor;
  std::vector<double> re(s.length);
  std::vector<double> im(s.length);
  for (std::size_t position = 0; position < s.length; ++position) {
    const std::size_t k = s.line[position];
    const complex_value a = delayed_line(s, phase, position, k, r, factor);
    const complex_value b =
        pair ? delayed_line(s, phase, position, k, s_phase, factor) : complex_value{};
    re[position] = a.re - b.im;  // a + i b
    im[position] = a.im + b.re;
  }
  transform.inverse_from_reversed(re, im);
  const double scale = 1.0 / static_cast<double>(s.length);
  for (std::size_t j = 0; j < steps; ++j) {
    out[j * factor + r] = re[j] * scale;
    if (pair) out[j * factor + s_phase] = im[j] * scale;
  }
}

}  // namespace

std::vector<double> band_limited_interpolation(std::span<const double> record, int factor) {
  if (factor < 1)
    throw std::invalid_argument("interpolation factor " + std::to_string(factor) + " is below 1");
  const auto f = static_cast<std::size_t>(factor);
  if (record.size() < 2 || f == 1) return {record.begin(), record.end()};

  const std::size_t steps = record.size() - 1;
  std::vector<double> out(steps * f + 1);
  for (std::size_t j = 0; j < record.size(); ++j) out[j * f] = record[j];

  const fourier_transform transform(std::bit_ceil(2 * record.size()));
  const padded_spectrum s = spectrum_of(record, transform);
  const phase_table phase(f * s.length, (f - 1) * (s.length / 2) + 1);
  for (std::size_t r = 1; r < f; r += 2)
    fill_phase_pair(s, phase, transform, r, r + 1, f, steps, out);
  return out;
}

}  // namespace sitewave::response
