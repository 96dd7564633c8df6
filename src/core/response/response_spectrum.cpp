// Plans a response spectrum: each period gets its sampling step from the
// interpolation rule, the record is interpolated to the finest step any
// period needs, part by part, and read at a stride for the others, and the
// oscillators that share a step are handed out in groups to the threads,
// heaviest groups first, part after part.
#include "core/response/response_spectrum.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>

#include "core/response/band_limited_parts.hpp"
#include "core/response/oscillator.hpp"
#include "core/response/spectrum_checks.hpp"

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

}  // namespace

void check_spectrum_arguments(std::span<const double> accel, double dt,
                              std::span<const double> periods, double damping,
                              std::span<const double> psa) {
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

namespace {

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

int finest_factor(const std::vector<oscillator_group>& groups) {
  int factor = 1;
  for (const auto& g : groups) factor = std::max(factor, g.factor);
  return factor;
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

int finest_interpolation_factor(std::span<const double> periods, double dt) {
  int factor = 1;
  for (const double t : periods)
    if (t > 0.0) factor = std::max(factor, interpolation_factor(t, dt));
  return factor;
}

void pseudo_spectral_acceleration(std::span<const double> accel, double dt,
                                  std::span<const double> periods, double damping,
                                  std::span<double> psa, const work_control& control,
                                  band_limited_parts* given) {
  check_spectrum_arguments(accel, dt, periods, damping, psa);
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

  // The record as its transform sees it, the samples and then zeros: the
  // step after the last sample goes linearly to zero, and the free vibration
  // starts from there. It is interpolated to the finest step any group needs, part by
  // part in time order, and every group follows each part before the next
  // is made; the others read every (finest / factor)-th value of it.
  const int finest = finest_factor(groups);
  std::optional<band_limited_parts> own;
  if (!(given && given->interpolates(accel) && given->factor() == finest)) own.emplace(accel, finest);
  band_limited_parts& fine = own ? *own : *given;
  std::vector<peak_follower> followers;
  for (const auto& g : groups) followers.emplace_back(g.bank);
  for (std::size_t k = 0; k < fine.count(); ++k) {
    const std::span<const double> part = fine.part(k);
    const bool last = k + 1 == fine.count();
    const bool done = for_each_block(groups.size(), 1, control, [&](std::size_t first, std::size_t end) {
      for (std::size_t i = first; i < end; ++i)
        followers[i].follow(part, static_cast<std::size_t>(finest / groups[i].factor), last);
    });
    if (!done) return;
  }
  std::vector<double> peaks(group_size);
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const auto out = std::span(peaks).first(groups[i].bank.size());
    followers[i].peaks(out);
    for (std::size_t j = 0; j < out.size(); ++j) psa[groups[i].slot[j]] = out[j];
  }
}

}  // namespace sitewave::response
