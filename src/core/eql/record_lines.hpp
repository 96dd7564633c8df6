// The frequency lines of a record and the time histories made from them: the
// record's spectrum, a sweep that solves the SH wave field once per line, and
// channels that carry two real time histories in one complex spectrum.
#pragma once

#include <complex>
#include <cstddef>
#include <functional>
#include <span>
#include <vector>

#include "core/eql/equivalent_linear.hpp"
#include "core/exact/wavefield.hpp"
#include "core/response/fourier.hpp"

namespace sitewave::eql {

// Two real time histories a + i·b in one spectrum, in the transform's
// bit-reversed order until `to_time` brings them back as N·a and N·b.
struct channel {
  std::vector<double> re, im;
};

class record_lines {
 public:
  // The record is checked by the caller.
  explicit record_lines(const record_input& record);

  std::size_t size() const { return n_; }
  std::size_t last_line() const { return n_ / 2; }  // lines 1 … N/2 carry the record
  double omega(std::size_t k) const { return static_cast<double>(k) * dom_; }
  double theta() const { return theta_; }
  exact::input_kind kind() const { return kind_; }

  channel make_channel() const;

  // Puts line k (1 ≤ k ≤ N/2) of two real histories, given by their
  // positive-frequency values, and the mirror line N − k their conjugates;
  // the Nyquist line keeps their real parts.
  void put(channel& c, std::size_t k, std::complex<double> a, std::complex<double> b) const;

  // Inverse transform in place (unscaled: N times the histories), with the
  // zero-frequency line taken as zero.
  void to_time(channel& c) const;

  // Per line k, the factors that turn a field value per unit incident wave
  // into the record's displacement (−A/ω² over the input's reference) and
  // acceleration (A over it), A the record's spectrum at line k.
  struct line {
    std::size_t k;
    std::complex<double> displacement, acceleration;
  };

  // The record's spectrum at line k.
  std::complex<double> spectrum_at(std::size_t k) const;

  // Solves the SH field of rows at every line 1 … N/2 and calls fill with it;
  // lines are shared among the threads of control (fill must only write what
  // belongs to its line). Throws std::invalid_argument for rows the exact
  // physics refuses; returns false when stopped.
  bool sweep(std::span<const exact::layer_row> rows, const work_control& control,
             const std::function<void(const exact::sh_wavefield&, const line&)>& fill) const;

 private:
  std::size_t n_;
  double dom_;
  double theta_;
  exact::input_kind kind_;
  response::fourier_transform fft_;
  channel spectrum_;  // the record's, bit-reversed
};

// Peak of |a + i·b| over a channel brought back to time, divided by N.
double peak_of(const channel& c);

}  // namespace sitewave::eql
