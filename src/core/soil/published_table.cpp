// Published curves come as columns of strain (%) and value; this pairs them
// into the points of a tabulated curve.
#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>

#include "core/soil/models.hpp"

namespace sitewave::soil {

namespace {

std::span<const curve_point> paired(std::span<const double> strains, std::span<const double> values,
                                    std::array<curve_point, max_curve_points>& room) {
  // A built-in table whose columns differ in length is a typing slip; every
  // model is built once by the tests, so it cannot pass unnoticed.
  if (strains.size() != values.size() || strains.size() > room.size())
    throw std::logic_error("a published table has " + std::to_string(strains.size()) +
                           " strains and " + std::to_string(values.size()) + " values");
  for (std::size_t i = 0; i < strains.size(); ++i) room[i] = {strains[i], values[i]};
  return {room.data(), strains.size()};
}

}  // namespace

curve published_table(std::span<const double> modulus_strain_percent,
                      std::span<const double> modulus_ratio,
                      std::span<const double> damping_strain_percent,
                      std::span<const double> damping_percent) {
  std::array<curve_point, max_curve_points> modulus;
  std::array<curve_point, max_curve_points> damping;
  return curve::tabulated_percent(paired(modulus_strain_percent, modulus_ratio, modulus),
                                  paired(damping_strain_percent, damping_percent, damping));
}

}  // namespace sitewave::soil
