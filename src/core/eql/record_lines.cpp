// The record's spectrum on the transform's bit-reversed lines, the sweep of
// the SH field over them, and the packing of two real time histories into
// one spectrum: a real history has a Hermitian spectrum, so a + i·b is
// recovered from one inverse transform as its real and imaginary parts.
#include "core/eql/record_lines.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/exact/damping.hpp"
#include "core/exact/model_checks.hpp"

namespace sitewave::eql {

namespace {

using zd = std::complex<double>;

// Lines per block handed to a thread: enough to hide the hand-out.
constexpr std::size_t lines_per_block = 64;

}  // namespace

record_lines::record_lines(const record_input& record)
    : n_(record.transform_size),
      dom_(2.0 * std::numbers::pi / (static_cast<double>(record.transform_size) * record.dt)),
      theta_(record.theta),
      kind_(record.kind),
      fft_(record.transform_size),
      spectrum_(make_channel()) {
  std::copy(record.acceleration.begin(), record.acceleration.end(), spectrum_.re.begin());
  fft_.forward_to_reversed(spectrum_.re, spectrum_.im);
}

channel record_lines::make_channel() const {
  return {std::vector<double>(n_, 0.0), std::vector<double>(n_, 0.0)};
}

void record_lines::put(channel& c, std::size_t k, zd a, zd b) const {
  const std::size_t at = fft_.reversed(k);
  if (2 * k == n_) {
    c.re[at] = a.real();
    c.im[at] = b.real();
    return;
  }
  // a + i·b at k; conj(a) + i·conj(b) at N − k.
  c.re[at] = a.real() - b.imag();
  c.im[at] = a.imag() + b.real();
  const std::size_t mirror = fft_.reversed(n_ - k);
  c.re[mirror] = a.real() + b.imag();
  c.im[mirror] = b.real() - a.imag();
}

std::complex<double> record_lines::spectrum_at(std::size_t k) const {
  const std::size_t at = fft_.reversed(k);
  return {spectrum_.re[at], spectrum_.im[at]};
}

void record_lines::to_time(channel& c) const {
  // No line puts the zero frequency (it would be the displacement's −A/0):
  // cleared here, it never carries what the channel last held.
  c.re[0] = 0.0;
  c.im[0] = 0.0;
  fft_.inverse_from_reversed(c.re, c.im);
}

bool record_lines::sweep(
    std::span<const exact::layer_row> rows, const work_control& control,
    const std::function<void(const exact::sh_wavefield&, const line&)>& fill) const {
  exact::check_model(rows, theta_);
  const double p = std::sin(theta_) / rows.back().vs;
  // Damping that does not grow with frequency gives the same rows at every
  // line: their slownesses and moduli are formed once.
  const bool constant =
      std::all_of(rows.begin(), rows.end(), [](const exact::layer_row& r) { return r.fs == 0.0; });
  const auto layers_at = [&](double hertz, std::vector<exact::sh_layer>& out) {
    for (std::size_t j = 0; j < rows.size(); ++j) {
      out[j] = exact::sh_layer_of(exact::damp(rows[j], hertz), p);
    }
  };
  std::vector<exact::sh_layer> fixed(rows.size());
  if (constant) layers_at(0.0, fixed);
  return for_each_block(
      last_line(), lines_per_block, control, [&](std::size_t first, std::size_t last) {
        exact::sh_wavefield field;
        std::vector<exact::sh_layer> own(constant ? 0 : rows.size());
        for (std::size_t k = first + 1; k <= last; ++k) {
          const double w = omega(k);
          if (!constant) layers_at(w / (2.0 * std::numbers::pi), own);
          field.solve(constant ? fixed : own, p, w);
          const std::size_t at = fft_.reversed(k);
          const zd per_reference = zd(spectrum_.re[at], spectrum_.im[at]) / field.reference(kind_);
          fill(field, {k, -per_reference / (w * w), per_reference});
        }
      });
}

double peak_of(const channel& c) {
  double peak = 0.0;
  for (std::size_t i = 0; i < c.re.size(); ++i) {
    peak = std::max(peak, c.re[i] * c.re[i] + c.im[i] * c.im[i]);
  }
  return std::sqrt(peak) / static_cast<double>(c.re.size());
}

}  // namespace sitewave::eql
