// Orientation-independent response spectra of a pair of horizontal records
// (Boore, 2010): at each period the peak pseudo-acceleration of the pair
// rotated through 0-179 degrees in 1-degree steps, and the median (RotD50)
// and the largest (RotD100) of those 180 peaks.
#pragma once

#include <span>

#include "core/parallel/work_control.hpp"
#include "core/response/simd_path.hpp"

namespace sitewave::response {

class band_limited_parts;

inline constexpr int rotd_angles = 180;

// rotd50[i] and rotd100[i] for periods[i] (period 0: of the peak ground
// acceleration at the samples), one damping ratio, two records of the same
// length and step. Each oscillator is stepped once per component, on the
// record sampled as pseudo_spectral_acceleration samples it, and the
// rotated response at angle t is cos t p1 + sin t p2 at every step and in
// the free vibration after the record. The median of the 180 peaks is the
// mean of the 90th and 91st. When control asks for a stop the results keep
// their values. Every path gives the same bits. Throws
// std::invalid_argument as pseudo_spectral_acceleration does, and for
// records of different lengths.
void rotd_spectra(std::span<const double> h1, std::span<const double> h2, double dt,
                  std::span<const double> periods, double damping, std::span<double> rotd50,
                  std::span<double> rotd100, const work_control& control = {},
                  simd_path path = fastest_simd_path());

// The same walking fine1 and fine2, the records as pseudo_spectral_acceleration
// was given them (a pair not made from h1 and h2 at the periods' finest factor
// is not used): each record is interpolated once for its PSA and the RotD.
void rotd_spectra(std::span<const double> h1, std::span<const double> h2, double dt,
                  std::span<const double> periods, double damping, std::span<double> rotd50,
                  std::span<double> rotd100, band_limited_parts& fine1,
                  band_limited_parts& fine2, const work_control& control = {});

}  // namespace sitewave::response
