// Intensity measures of a ground-acceleration record, the acceleration
// taken as linear between samples and integrated exactly from rest (no
// baseline correction): peak velocity and displacement, Arias intensity,
// the significant durations of the Husid curve and the cumulative absolute
// velocity.
#pragma once

#include <span>
#include <vector>

namespace sitewave::response {

struct intensity_measures {
  double pga;    // max |a|, record unit
  double pgv;    // max |v|, record unit x s
  double pgd;    // max |d|, record unit x s^2
  double arias;  // pi / (2 g) * integral of a^2 dt, with g in the record unit: unit x s
  double d5_95;  // s between 5 % and 95 % of the Arias intensity
  double d5_75;  // s between 5 % and 75 %
  double cav;    // integral of |a| dt, record unit x s
};

// g is the standard gravity in the record's unit (9.80665 for m/s2).
// Throws std::invalid_argument for a step or g that is not a positive number.
intensity_measures intensity_of(std::span<const double> accel, double dt, double g);

// The Husid curve at the samples: the integral of a^2 up to each sample over
// the whole (0 throughout for a record at rest).
std::vector<double> husid_curve(std::span<const double> accel, double dt);

}  // namespace sitewave::response
