// Response spectra of a ground-acceleration record: the peak response of
// damped linear oscillators of given natural periods, reported as
// pseudo-spectral acceleration PSA = w^2 max |u| in the record's own unit.
#pragma once

#include <span>
#include <vector>

#include "core/parallel/work_control.hpp"

namespace sitewave::response {

// 100 periods evenly spaced in log period from 0.01 s to 10 s (both included);
// the caller adds period 0 when it wants the peak ground acceleration.
std::vector<double> default_periods();

// How many times finer than dt the record is sampled for an oscillator of the
// given period: the smallest power of two m with dt / m <= period / 32, at
// most 16. With 10 samples per period, a broadband record at 100 samples per
// second still comes out 2-7 % low (linear steps misrepresent its content near
// the Nyquist frequency); 32 bring that below 0.5 %. The cap only bites for
// periods under 2 dt, oscillators stiffer than anything in the record, whose
// response follows the ground acceleration, and 16 samples per step put 32 on
// the shortest period the record holds.
int interpolation_factor(double period, double dt);

// psa[i] for periods[i] (period 0 gives the peak |accel|), for one damping
// ratio (0 <= damping < 1, e.g. 0.05). The oscillators start at rest and the
// ground is at rest after the last sample, so a peak of the free vibration
// after the record counts. When control asks for a stop, the entries not
// reached keep their values. Throws std::invalid_argument for a bad step,
// period, damping ratio, a non-finite sample or mismatched sizes; psa may share
// storage with periods but not with accel.
void pseudo_spectral_acceleration(std::span<const double> accel, double dt,
                                  std::span<const double> periods, double damping,
                                  std::span<double> psa, const work_control& control = {});

}  // namespace sitewave::response
