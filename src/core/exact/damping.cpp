// Quality factors that grow with frequency from the row's base value, and the
// complex P and S velocities of a row at one frequency.
#include "core/exact/damping.hpp"

#include <cmath>

namespace sitewave::exact {

double quality_at(double q0, double growth, double hertz) {
  return quality_with(q0, std::pow(hertz, growth));
}

double quality_with(double q0, double power) {
  // At zero frequency an infinite Q0 times 0^growth is NaN; the comparison
  // then keeps Q0.
  const double q = q0 * power;
  return q > q0 ? q : q0;
}

bool quality_is_fixed(double q0, double growth) {
  // hertz^0 is 1 at every frequency, zero and infinity included.
  return growth == 0.0 || std::isinf(q0);
}

std::complex<double> damped_velocity(double v, double q) {
  return {v, v * (0.5 / q)};
}

damped_row damp(const layer_row& row, double hertz) {
  return {
      .density = row.density,
      .vp = damped_velocity(row.vp, quality_at(row.qp, row.fp, hertz)),
      .vs = damped_velocity(row.vs, quality_at(row.qs, row.fs, hertz)),
      .thickness = row.thickness,
  };
}

}  // namespace sitewave::exact
