// The refusals every response spectrum makes of its inputs, shared by the
// spectra of one record and of a rotated pair.
#pragma once

#include <span>

namespace sitewave::response {

// Throws std::invalid_argument for a step that is not a positive number, a
// damping ratio outside [0, 1), a period that is negative or not finite, a
// sample that is not finite, results of another size than the periods, or
// results that overlap the record.
void check_spectrum_arguments(std::span<const double> accel, double dt,
                              std::span<const double> periods, double damping,
                              std::span<const double> psa);

}  // namespace sitewave::response
