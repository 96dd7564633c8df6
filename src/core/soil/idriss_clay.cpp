// Idriss (1990) clay: the modulus reduction and damping curves for clay that
// SHAKE91 ships as its first material.
#include <array>

#include "core/soil/models.hpp"

namespace sitewave::soil {

namespace {

// Idriss, I. M. (1990), "Response of soft soil sites during earthquakes",
// Proceedings, H. Bolton Seed Memorial Symposium, vol. 2, 273-289. Values as
// printed in the SHAKE91 input of Idriss and Sun (1992) ("modulus for clay
// (Seed & Sun 1989) upper range", the curve Idriss adopted, and "damping for
// clay (Idriss 1990)"), here from the SHAKE example input in pystrata's
// pysra/tests/data/example.inp; strain and damping in percent. Strata's
// "Idriss (1990), Clay" is this table read at 3.162 instead of 3 per decade.
constexpr std::array<double, 11> modulus_strain_percent = {1e-4, 3e-4, 1e-3, 3e-3, 0.01, 0.03,
                                                           0.1,  0.3,  1.0,  3.0,  10.0};
constexpr std::array<double, 11> modulus = {1.000, 1.000, 1.000, 0.981, 0.941, 0.847,
                                            0.656, 0.438, 0.238, 0.144, 0.110};
constexpr std::array<double, 11> damping_strain_percent = {1e-4, 3e-4, 1e-3, 3e-3, 0.01, 0.03,
                                                           0.1,  0.3,  1.0,  3.16, 10.0};
constexpr std::array<double, 11> damping_percent = {0.24, 0.42, 0.8,  1.4,  2.8, 5.1,
                                                    9.8,  15.5, 21.0, 25.0, 28.0};

}  // namespace

curve idriss_clay() {
  return published_table(modulus_strain_percent, modulus, damping_strain_percent, damping_percent);
}

}  // namespace sitewave::soil
