// The peak of each oscillator's pseudo-acceleration over a record. A first
// pass steps the oscillators a stretch of 16 steps at a time, exactly, and
// keeps a bound of the response within each stretch; a second pass steps
// finely only the stretches whose bound reaches the largest value found. On
// an earthquake record most stretches lie far below the peak, so most of the
// record is crossed 16 steps at a time. A record may come in consecutive
// parts: each run of lanes keeps its state and its largest value between them.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/response/lanes.hpp"
#include "core/response/oscillator.hpp"

namespace sitewave::response {

namespace {

constexpr std::size_t stretch = steps_per_stretch;
constexpr std::size_t stretches_per_block = 16;  // between saved states
static_assert(steps_per_part % (stretch * stretches_per_block) == 0);
// A stretch is passed over only when its bound stays below the largest value
// found by this relative margin, far beyond the rounding of the states
// (about 1e-15): a stretch passed over never holds a larger value.
constexpr double skip_margin = 1e-9;

// Largest |p| of the free vibration from (p, q): the extremes of a damped
// vibration shrink one after the other, so the first one after the record
// ends (where the velocity first vanishes) is the only candidate.
double free_vibration_peak(double p, double q, double damping) {
  const double s = std::sqrt(1.0 - damping * damping);
  const double x = p + damping * q;
  const double y = q * s;
  if (x == 0.0 && y == 0.0) return 0.0;
  double theta = std::atan2(y, x);
  if (theta <= 0.0) theta += std::numbers::pi;
  const double swing = std::exp(-damping * theta / s) *
                       (p * std::cos(theta) + (q + damping * p) / s * std::sin(theta));
  return std::max(std::abs(p), std::abs(swing));
}

// 2x2 matrices for the coefficients of a stretch, per oscillator.
struct mat2 {
  double a, b, c, d;
};

mat2 times(const mat2& x, const mat2& y) {
  return {x.a * y.a + x.b * y.c, x.a * y.b + x.b * y.d, x.c * y.a + x.d * y.c,
          x.c * y.b + x.d * y.d};
}

// The coefficients of `vectors` vectors of oscillators side by side. A step:
// y <- E y + c a(i), p = y_p + g1_p a(i+1). A stretch: y <- F y + the sum
// over r of K_r a(i + r), F = E^16 and K_r = E^(15-r) c.
template <class V, std::size_t vectors>
struct lane_bank {
  static constexpr std::size_t width = width_of<V>;
  static constexpr std::size_t lanes = width * vectors;

  V e_pp[vectors], e_pq[vectors], e_qp[vectors], e_qq[vectors];
  V c_p[vectors], c_q[vectors], g1_p[vectors], g1_q[vectors];
  V f_pp[vectors], f_pq[vectors], f_qp[vectors], f_qq[vectors];
  V k_p[stretch][vectors], k_q[stretch][vectors];
  V zeta[vectors], inv_s[vectors], gain[vectors];

  // Lanes beyond the group have no coefficients: they stay at rest, with no
  // bound, and never ask for a fine stretch.
  explicit lane_bank(std::span<const oscillator> group) {
    struct lane_values {
      double e_pp[lanes] = {}, e_pq[lanes] = {}, e_qp[lanes] = {}, e_qq[lanes] = {};
      double c_p[lanes] = {}, c_q[lanes] = {}, g1_p[lanes] = {}, g1_q[lanes] = {};
      double f_pp[lanes] = {}, f_pq[lanes] = {}, f_qp[lanes] = {}, f_qq[lanes] = {};
      double k_p[stretch][lanes] = {}, k_q[stretch][lanes] = {};
      double zeta[lanes] = {}, inv_s[lanes] = {}, gain[lanes] = {};
    } v;
    for (std::size_t i = 0; i < group.size(); ++i) {
      const oscillator& o = group[i];
      v.e_pp[i] = o.e_pp;
      v.e_pq[i] = o.e_pq;
      v.e_qp[i] = o.e_qp;
      v.e_qq[i] = o.e_qq;
      v.c_p[i] = o.c_p;
      v.c_q[i] = o.c_q;
      v.g1_p[i] = o.g1_p;
      v.g1_q[i] = o.g1_q;
      v.zeta[i] = o.damping;
      v.inv_s[i] = 1.0 / std::sqrt(1.0 - o.damping * o.damping);
      v.gain[i] = o.stretch_gain;
      const mat2 e{o.e_pp, o.e_pq, o.e_qp, o.e_qq};
      mat2 power{1.0, 0.0, 0.0, 1.0};  // E^(15-r), from r = 15 down
      for (std::size_t r = stretch; r-- > 0;) {
        v.k_p[r][i] = power.a * o.c_p + power.b * o.c_q;
        v.k_q[r][i] = power.c * o.c_p + power.d * o.c_q;
        power = times(power, e);
      }
      v.f_pp[i] = power.a;
      v.f_pq[i] = power.b;
      v.f_qp[i] = power.c;
      v.f_qq[i] = power.d;
    }
    for (std::size_t k = 0; k < vectors; ++k) {
      const std::size_t at = width * k;
      e_pp[k] = load_lanes<V>(v.e_pp + at);
      e_pq[k] = load_lanes<V>(v.e_pq + at);
      e_qp[k] = load_lanes<V>(v.e_qp + at);
      e_qq[k] = load_lanes<V>(v.e_qq + at);
      c_p[k] = load_lanes<V>(v.c_p + at);
      c_q[k] = load_lanes<V>(v.c_q + at);
      g1_p[k] = load_lanes<V>(v.g1_p + at);
      g1_q[k] = load_lanes<V>(v.g1_q + at);
      f_pp[k] = load_lanes<V>(v.f_pp + at);
      f_pq[k] = load_lanes<V>(v.f_pq + at);
      f_qp[k] = load_lanes<V>(v.f_qp + at);
      f_qq[k] = load_lanes<V>(v.f_qq + at);
      for (std::size_t r = 0; r < stretch; ++r) {
        k_p[r][k] = load_lanes<V>(v.k_p[r] + at);
        k_q[r][k] = load_lanes<V>(v.k_q[r] + at);
      }
      zeta[k] = load_lanes<V>(v.zeta + at);
      inv_s[k] = load_lanes<V>(v.inv_s + at);
      gain[k] = load_lanes<V>(v.gain + at);
    }
  }
};

// The state y of the lanes.
template <class V, std::size_t vectors>
struct lane_state {
  V y_p[vectors], y_q[vectors];
};

// The record's samples as the bank steps through them: every stride-th value.
struct samples_at_stride {
  std::span<const double> values;
  std::size_t stride;

  std::size_t size() const { return values.empty() ? 0 : (values.size() - 1) / stride + 1; }
  double operator[](std::size_t i) const { return values[i * stride]; }
};

// For each whole stretch, the largest |a| of its samples, both ends included:
// the piecewise-linear record stays within it over the stretch. Contiguous
// samples are compared a vector at a time.
template <class V>
[[gnu::always_inline]] inline std::vector<double> stretch_peaks_of(const samples_at_stride& a) {
  constexpr std::size_t width = width_of<V>;
  const std::size_t samples = a.size();
  std::vector<double> peaks(samples < 2 ? 0 : (samples - 1) / stretch);
  for (std::size_t j = 0; j < peaks.size(); ++j) {
    const std::size_t first = j * stretch;
    double top = std::abs(a[first + stretch]);
    if (a.stride == 1) {
      V most = magnitude(load_lanes<V>(&a.values[first]));
      for (std::size_t r = width; r < stretch; r += width)
        most = larger(most, magnitude(load_lanes<V>(&a.values[first + r])));
      for (std::size_t l = 0; l < width; ++l) top = std::max(top, most[l]);
    } else {
      for (std::size_t r = 0; r < stretch; ++r) top = std::max(top, std::abs(a[first + r]));
    }
    peaks[j] = top;
  }
  return peaks;
}

// Steps from sample `first` to `last` one step at a time, keeping the
// largest |p| of the samples reached in top.
template <class V, std::size_t vectors>
[[gnu::always_inline]] inline void fine_steps(const lane_bank<V, vectors>& b,
                                              const samples_at_stride& a, std::size_t first,
                                              std::size_t last, lane_state<V, vectors>& s,
                                              V (&top)[vectors]) {
  V a0 = splat<V>(a[first]);
  for (std::size_t i = first; i < last; ++i) {
    const V a1 = splat<V>(a[i + 1]);
#pragma GCC unroll 4
    for (std::size_t k = 0; k < vectors; ++k) {
      const V next_p = (b.e_pp[k] * s.y_p[k] + b.e_pq[k] * s.y_q[k]) + b.c_p[k] * a0;
      const V next_q = (b.e_qp[k] * s.y_p[k] + b.e_qq[k] * s.y_q[k]) + b.c_q[k] * a0;
      s.y_p[k] = next_p;
      s.y_q[k] = next_q;
      top[k] = larger(top[k], magnitude(next_p + b.g1_p[k] * a1));
    }
    a0 = a1;
  }
}

// Steps from sample `first` over one stretch at once. The loads are summed in
// two interleaved halves to halve the chain of dependent additions.
template <class V, std::size_t vectors>
[[gnu::always_inline]] inline void stretch_step(const lane_bank<V, vectors>& b,
                                                const samples_at_stride& a, std::size_t first,
                                                lane_state<V, vectors>& s) {
  const double* x = a.values.data() + first * a.stride;
  const std::size_t step = a.stride;
  V even_p[vectors], even_q[vectors], odd_p[vectors], odd_q[vectors];
  const V a0 = splat<V>(x[0]), a1 = splat<V>(x[step]);
  for (std::size_t k = 0; k < vectors; ++k) {
    even_p[k] = b.k_p[0][k] * a0;
    even_q[k] = b.k_q[0][k] * a0;
    odd_p[k] = b.k_p[1][k] * a1;
    odd_q[k] = b.k_q[1][k] * a1;
  }
#pragma GCC unroll 8
  for (std::size_t r = 2; r < stretch; r += 2) {
    const V ae = splat<V>(x[r * step]), ao = splat<V>(x[(r + 1) * step]);
#pragma GCC unroll 4
    for (std::size_t k = 0; k < vectors; ++k) {
      even_p[k] = even_p[k] + b.k_p[r][k] * ae;
      even_q[k] = even_q[k] + b.k_q[r][k] * ae;
      odd_p[k] = odd_p[k] + b.k_p[r + 1][k] * ao;
      odd_q[k] = odd_q[k] + b.k_q[r + 1][k] * ao;
    }
  }
  for (std::size_t k = 0; k < vectors; ++k) {
    const V next_p = (b.f_pp[k] * s.y_p[k] + b.f_pq[k] * s.y_q[k]) + (even_p[k] + odd_p[k]);
    const V next_q = (b.f_qp[k] * s.y_p[k] + b.f_qq[k] * s.y_q[k]) + (even_q[k] + odd_q[k]);
    s.y_p[k] = next_p;
    s.y_q[k] = next_q;
  }
}

// p at sample i from y, and the square of the amplitude of the free
// vibration from there, which bounds |p| of that vibration.
template <class V, std::size_t vectors>
[[gnu::always_inline]] inline void amplitude_at(const lane_bank<V, vectors>& b, double a_i,
                                                const lane_state<V, vectors>& s, V (&p)[vectors],
                                                V (&squared)[vectors]) {
  const V a = splat<V>(a_i);
  for (std::size_t k = 0; k < vectors; ++k) {
    p[k] = s.y_p[k] + b.g1_p[k] * a;
    const V q = s.y_q[k] + b.g1_q[k] * a;
    const V quadrature = (q + b.zeta[k] * p[k]) * b.inv_s[k];
    squared[k] = p[k] * p[k] + quadrature * quadrature;
  }
}

// Whether any lane's bound, amplitude plus gain times the largest |a|,
// exceeds its floor (the largest value found, less the margin). The squares
// of amplitudes far from 1 would under- or overflow: a lane whose floor lies
// beyond 2^-400 or 2^400 reaches it everywhere, and is stepped finely.
template <class V, std::size_t vectors>
[[gnu::always_inline]] inline bool any_reaches(const lane_bank<V, vectors>& b,
                                               const V (&squared)[vectors], double peak_a,
                                               const V (&floor)[vectors]) {
  const V m = splat<V>(peak_a);
  const V tiny = splat<V>(0x1p-400), huge = splat<V>(0x1p400);
  bool any = false;
  for (std::size_t k = 0; k < vectors; ++k) {
    const V forced = b.gain[k] * m;
    const V left = floor[k] - forced;
    // A + forced > floor: forced alone, or A^2 > (floor - forced)^2.
    const auto reaches = (forced > floor[k]) | (squared[k] > left * left) |
                         ((floor[k] > 0.0) & (floor[k] < tiny)) | (floor[k] > huge);
    for (std::size_t l = 0; l < width_of<V>; ++l) any = any || reaches[l] != 0;
  }
  return any;
}

// Where a run of lanes has got to between parts of the record: the state y
// at the last sample handed over and the largest |p| found, lane by lane.
struct lane_progress {
  static constexpr std::size_t most_lanes = 12;
  double y_p[most_lanes], y_q[most_lanes], top[most_lanes];
  bool started = false;
};

// One part of the record through a run of lanes. A part ends on a block
// boundary unless it is the last, so that blocks and stretches fall where
// one pass over the whole record puts them and the states are the same bits.
template <class V, std::size_t vectors>
[[gnu::always_inline]] inline void run_lanes(const samples_at_stride& a,
                                             std::span<const double> stretch_peaks,
                                             std::span<const oscillator> group,
                                             lane_progress& progress, bool last_part) {
  constexpr std::size_t width = width_of<V>;
  constexpr std::size_t lanes = width * vectors;
  static_assert(lanes <= lane_progress::most_lanes);
  const lane_bank<V, vectors> b(group);
  const std::size_t samples = a.size();

  lane_state<V, vectors> s;
  V top[vectors];
  if (!progress.started) {  // at rest at the first sample: y = -g1 a(0)
    const V first = splat<V>(samples == 0 ? 0.0 : a[0]);
    for (std::size_t k = 0; k < vectors; ++k) {
      s.y_p[k] = -(b.g1_p[k] * first);
      s.y_q[k] = -(b.g1_q[k] * first);
      top[k] = V{};
    }
    progress.started = true;
  } else {
    for (std::size_t k = 0; k < vectors; ++k) {
      s.y_p[k] = load_lanes<V>(progress.y_p + width * k);
      s.y_q[k] = load_lanes<V>(progress.y_q + width * k);
      top[k] = load_lanes<V>(progress.top + width * k);
    }
  }

  // First pass: whole stretches, keeping the state at the start of each
  // block and, over the block, the largest amplitude at a stretch's start
  // and the largest |a|.
  const std::size_t stretches = stretch_peaks.size();
  const std::size_t blocks = (stretches + stretches_per_block - 1) / stretches_per_block;
  // Written whole by the first pass before the second reads them.
  const auto saved = std::make_unique_for_overwrite<double[]>(blocks * 2 * lanes);
  const auto block_squared = std::make_unique_for_overwrite<double[]>(blocks * lanes);
  const auto block_peak_a = std::make_unique_for_overwrite<double[]>(blocks);
  V p[vectors], squared[vectors];
  amplitude_at(b, samples == 0 ? 0.0 : a[0], s, p, squared);
  for (std::size_t block = 0; block < blocks; ++block) {
    V most[vectors];
    for (std::size_t k = 0; k < vectors; ++k) {
      store_lanes(&saved[(2 * block) * lanes + width * k], s.y_p[k]);
      store_lanes(&saved[(2 * block + 1) * lanes + width * k], s.y_q[k]);
      most[k] = squared[k];
    }
    double peak_a = 0.0;
    const std::size_t end = std::min(stretches, (block + 1) * stretches_per_block);
    for (std::size_t j = block * stretches_per_block; j < end; ++j) {
      const std::size_t at = j * stretch;
      peak_a = std::max(peak_a, stretch_peaks[j]);
      stretch_step(b, a, at, s);
      amplitude_at(b, a[at + stretch], s, p, squared);
      for (std::size_t k = 0; k < vectors; ++k) {
        top[k] = larger(top[k], magnitude(p[k]));
        if (j + 1 < end) most[k] = larger(most[k], squared[k]);
      }
    }
    for (std::size_t k = 0; k < vectors; ++k)
      store_lanes(&block_squared[block * lanes + width * k], most[k]);
    block_peak_a[block] = peak_a;
  }
  if (last_part && samples > 0) fine_steps(b, a, stretches * stretch, samples - 1, s, top);
  for (std::size_t k = 0; k < vectors; ++k) {
    store_lanes(progress.y_p + width * k, s.y_p[k]);
    store_lanes(progress.y_q + width * k, s.y_q[k]);
  }

  // The free vibration after the record, from the state at the last sample.
  double found[lanes];
  if (last_part) {
    const V last = splat<V>(samples == 0 ? 0.0 : a[samples - 1]);
    double end_p[lanes], end_q[lanes];
    for (std::size_t k = 0; k < vectors; ++k) {
      store_lanes(end_p + width * k, s.y_p[k] + b.g1_p[k] * last);
      store_lanes(end_q + width * k, s.y_q[k] + b.g1_q[k] * last);
      store_lanes(found + width * k, top[k]);
    }
    for (std::size_t i = 0; i < group.size(); ++i)
      found[i] = std::max(found[i], free_vibration_peak(end_p[i], end_q[i], group[i].damping));
    for (std::size_t k = 0; k < vectors; ++k) top[k] = load_lanes<V>(found + width * k);
  }

  // Second pass: the blocks, then the stretches, whose bound reaches what
  // was found so far, stepped finely from the state at their start. A part
  // before the last knows less than the whole record does and steps more
  // stretches finely, never fewer: the largest value is found all the same.
  const double floor_scale = 1.0 / (1.0 + skip_margin);
  V floor[vectors];
  for (std::size_t k = 0; k < vectors; ++k) floor[k] = top[k] * floor_scale;
  for (std::size_t block = 0; block < blocks; ++block) {
    for (std::size_t k = 0; k < vectors; ++k)
      squared[k] = load_lanes<V>(&block_squared[block * lanes + width * k]);
    if (!any_reaches(b, squared, block_peak_a[block], floor)) continue;
    for (std::size_t k = 0; k < vectors; ++k) {
      s.y_p[k] = load_lanes<V>(&saved[(2 * block) * lanes + width * k]);
      s.y_q[k] = load_lanes<V>(&saved[(2 * block + 1) * lanes + width * k]);
    }
    const std::size_t end = std::min(stretches, (block + 1) * stretches_per_block);
    for (std::size_t j = block * stretches_per_block; j < end; ++j) {
      const std::size_t at = j * stretch;
      amplitude_at(b, a[at], s, p, squared);
      if (any_reaches(b, squared, stretch_peaks[j], floor)) {
        lane_state<V, vectors> fine = s;
        fine_steps(b, a, at, at + stretch, fine, top);
        for (std::size_t k = 0; k < vectors; ++k) floor[k] = top[k] * floor_scale;
      }
      stretch_step(b, a, at, s);
    }
  }
  for (std::size_t k = 0; k < vectors; ++k) store_lanes(progress.top + width * k, top[k]);
}

// As many oscillators side by side as sixteen vector registers hold with
// their states: three vectors of the path's width. A remainder takes as few
// vectors as hold it, since idle lanes cost as much as busy ones.
template <class V>
[[gnu::always_inline]] inline void run_bank(std::span<const double> part, std::size_t stride,
                                            std::span<const oscillator> bank,
                                            std::span<lane_progress> progress, bool last_part) {
  constexpr std::size_t width = width_of<V>;
  constexpr std::size_t widest_run = 3 * width;
  const samples_at_stride a{part, stride};
  const std::vector<double> stretch_peaks = stretch_peaks_of<V>(a);
  for (std::size_t first = 0, run = 0; first < bank.size(); first += widest_run, ++run) {
    const std::size_t count = std::min(widest_run, bank.size() - first);
    const auto group = bank.subspan(first, count);
    if (count > 2 * width)
      run_lanes<V, 3>(a, stretch_peaks, group, progress[run], last_part);
    else if (count > width)
      run_lanes<V, 2>(a, stretch_peaks, group, progress[run], last_part);
    else
      run_lanes<V, 1>(a, stretch_peaks, group, progress[run], last_part);
  }
}

void run_bank_baseline(std::span<const double> part, std::size_t stride,
                       std::span<const oscillator> bank, std::span<lane_progress> progress,
                       bool last_part) {
  run_bank<lanes2>(part, stride, bank, progress, last_part);
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] void run_bank_avx2(std::span<const double> part, std::size_t stride,
                                           std::span<const oscillator> bank,
                                           std::span<lane_progress> progress, bool last_part) {
  run_bank<lanes4>(part, stride, bank, progress, last_part);
}
#endif

std::size_t run_width(simd_path path) {
  return path == simd_path::avx2 ? 3 * width_of<lanes4> : 3 * width_of<lanes2>;
}

}  // namespace

struct peak_follower::runs {
  std::vector<lane_progress> progress;
};

peak_follower::peak_follower(std::span<const oscillator> bank, simd_path path)
    : bank_(bank.begin(), bank.end()),
      path_(runs_on_this_machine(path) ? path : simd_path::baseline),
      runs_(std::make_unique<runs>()) {
  const std::size_t width = run_width(path_);
  runs_->progress.resize((bank.size() + width - 1) / width);
}

peak_follower::~peak_follower() = default;
peak_follower::peak_follower(peak_follower&&) noexcept = default;

void peak_follower::follow(std::span<const double> part, std::size_t stride, bool last) {
  if (stride == 0) throw std::invalid_argument("a record read at a stride of 0 never advances");
  if (finished_) throw std::logic_error("the record has ended: no part follows the last");
  const std::size_t steps = part.empty() ? 0 : (part.size() - 1) / stride;
  if (!last && steps % steps_per_part != 0)
    throw std::invalid_argument(std::to_string(steps) + " steps in a part before the last, not a multiple of " +
                                std::to_string(steps_per_part));
  finished_ = last;
#if defined(__x86_64__)
  if (path_ == simd_path::avx2) return run_bank_avx2(part, stride, bank_, runs_->progress, last);
#endif
  run_bank_baseline(part, stride, bank_, runs_->progress, last);
}

void peak_follower::peaks(std::span<double> out) const {
  if (!finished_) throw std::logic_error("the peaks are known once the last part has been followed");
  const std::size_t width = run_width(path_);
  for (std::size_t i = 0; i < bank_.size(); ++i) out[i] = runs_->progress[i / width].top[i % width];
}

void peak_pseudo_accelerations(std::span<const double> record, std::size_t stride,
                               std::span<const oscillator> bank, std::span<double> peaks,
                               simd_path path) {
  peak_follower follower(bank, path);
  follower.follow(record, stride, true);
  follower.peaks(peaks);
}

void peak_pseudo_accelerations(std::span<const double> record, std::span<const oscillator> bank,
                               std::span<double> peaks, simd_path path) {
  peak_pseudo_accelerations(record, 1, bank, peaks, path);
}

}  // namespace sitewave::response
