// Plans a response spectrum: each period gets its sampling step from the
// interpolation rule, the record is interpolated once to the finest step any
// period needs and read at a stride for the others, and the oscillators that
// share a step are handed out in groups to the threads, heaviest groups first.
#include "core/response/response_spectrum.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>

#include "core/response/band_limited.hpp"
#include "core/response/oscillator.hpp"

namespace sitewave::response {

namespace {

constexpr int largest_factor = 32;
constexpr double samples_per_period = 64.0;
constexpr double longest_fine_step = 0.01;  // s
constexpr std::size_t group_size = 12;  // oscillators handed to a thread at once, one run

std::string number(double v) {
  std::ostringstream text;
  text << v;
  return text.str();
}

void check_arguments(std::span<const double> accel, double dt, std::span<const double> periods,
                     double damping, std::span<const double> psa) {
  if (!(dt > 0.0) || !std::isfinite(dt))
    throw std::invalid_argument("time step " + number(dt) + " is not a positive number");
  if (!(damping >= 0.0 && damping < 1.0))
    throw std::invalid_argument("damping ratio " + number(damping) + " is outside [0, 1)");
  if (psa.size() != periods.size())
    throw std::invalid_argument(std::to_string(periods.size()) + " periods but room for " +
                                std::to_string(psa.size()) + " spectral values");
  for (std::size_t i = 0; i < periods.size(); ++i) {
    const double t = periods[i];
    if (!(t >= 0.0) || !std::isfinite(t) || (t > 0.0 && !std::isfinite(1.0 / t)))
      throw std::invalid_argument("period " + std::to_string(i) + " (" + number(t) +
                                  ") is not a usable period");
  }
  for (std::size_t i = 0; i < accel.size(); ++i)
    if (!std::isfinite(accel[i]))
      throw std::invalid_argument("acceleration sample " + std::to_string(i) + " is not finite");
  const std::less<const double*> before;
  const double* a_end = accel.data() + accel.size();
  const double* p_end = psa.data() + psa.size();
  if (!accel.empty() && !psa.empty() && before(psa.data(), a_end) && before(accel.data(), p_end))
    throw std::invalid_argument("the spectral values overlap the acceleration record");
}

double peak_magnitude(std::span<const double> accel) {
  double top = 0.0;
  for (double a : accel) top = std::max(top, std::abs(a));
  return top;
}

// Oscillators that share a sampling step, and where their results go.
struct oscillator_group {
  int factor;
  std::vector<oscillator> bank;
  std::vector<std::size_t> slot;  // index into psa
};

std::vector<oscillator_group> plan_groups(std::span<const double> periods, double dt,
                                          double damping) {
  std::vector<oscillator_group> groups;
  for (int factor = largest_factor; factor >= 1; factor /= 2) {
    oscillator_group g{factor, {}, {}};
    for (std::size_t i = 0; i < periods.size(); ++i) {
      if (periods[i] == 0.0 || interpolation_factor(periods[i], dt) != factor) continue;
      g.bank.push_back(make_oscillator(periods[i], damping, dt / factor));
      g.slot.push_back(i);
      if (g.bank.size() == group_size) {
        groups.push_back(g);
        g.bank.clear();
        g.slot.clear();
      }
    }
    if (!g.bank.empty()) groups.push_back(g);
  }
  return groups;
}

// The record interpolated to the finest step any group needs; the others
// read every (finest / factor)-th value of it. The fine record and the
// interpolation's scratch share one block: fresh memory costs a page fault
// and the zeroing of each page on first touch, a third of the time of a
// spectrum at the largest size, and one block of this size is what the C
// library learns to keep for reuse once the first spectrum has freed it.
struct fine_record {
  int factor = 1;
  std::unique_ptr<double[]> values;  // written whole before it is read
  std::size_t size = 0;
};

fine_record finest_record(std::span<const double> accel,
                          const std::vector<oscillator_group>& groups) {
  fine_record r;
  for (const auto& g : groups) r.factor = std::max(r.factor, g.factor);
  if (r.factor == 1) return r;
  r.size = (accel.size() - 1) * static_cast<std::size_t>(r.factor) + 1;
  const std::size_t scratch = interpolation_scratch_size(accel.size());
  r.values = std::make_unique_for_overwrite<double[]>(r.size + scratch);
  band_limited_interpolation(accel, r.factor, std::span(r.values.get(), r.size),
                             std::span(r.values.get() + r.size, scratch));
  return r;
}

}  // namespace

std::vector<double> default_periods() {
  constexpr int count = 100;
  std::vector<double> periods(count);
  for (int i = 0; i < count; ++i) periods[i] = std::pow(10.0, -2.0 + 3.0 * i / (count - 1));
  return periods;
}

int interpolation_factor(double period, double dt) {
  int m = 1;
  while (m < largest_factor &&
         (dt / m > period / samples_per_period || dt / m > longest_fine_step))
    m *= 2;
  return m;
}

void pseudo_spectral_acceleration(std::span<const double> accel, double dt,
                                  std::span<const double> periods, double damping,
                                  std::span<double> psa, const work_control& control) {
  check_arguments(accel, dt, periods, damping, psa);
  // Everything is read from periods before the first result is written.
  std::vector<oscillator_group> groups = plan_groups(periods, dt, damping);
  std::vector<std::size_t> ground_slots;
  for (std::size_t i = 0; i < periods.size(); ++i)
    if (periods[i] == 0.0) ground_slots.push_back(i);
  if (control.stop_requested()) return;

  const double pga = peak_magnitude(accel);
  for (std::size_t i : ground_slots) psa[i] = pga;
  if (accel.size() < 2) {  // no step: the oscillators never move
    for (const auto& g : groups)
      for (std::size_t i : g.slot) psa[i] = 0.0;
    return;
  }

  // The record as its transform sees it: the samples, then zeros. The last
  // step goes linearly to zero and the free vibration starts from there.
  std::vector<double> padded(accel.size() + 1, 0.0);
  std::copy(accel.begin(), accel.end(), padded.begin());
  const fine_record fine = finest_record(padded, groups);
  for_each_block(groups.size(), 1, control, [&](std::size_t first, std::size_t last) {
    std::vector<double> peaks(group_size);
    for (std::size_t k = first; k < last; ++k) {
      const oscillator_group& g = groups[k];
      const auto out = std::span(peaks).first(g.bank.size());
      if (g.factor == 1)
        peak_pseudo_accelerations(padded, g.bank, out);
      else
        peak_pseudo_accelerations(std::span(fine.values.get(), fine.size),
                                  static_cast<std::size_t>(fine.factor / g.factor), g.bank, out);
      for (std::size_t i = 0; i < g.slot.size(); ++i) psa[g.slot[i]] = peaks[i];
    }
  });
}

}  // namespace sitewave::response
