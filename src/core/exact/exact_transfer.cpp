// The exact amplification over a frequency grid: each line damps the rows at
// its frequency, runs the SH and P-SV recursions and refers the surface
// motion to the incident and total motion at the top of the half-space.
#include "core/exact/exact_transfer.hpp"

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "core/exact/damping.hpp"
#include "core/exact/model_checks.hpp"
#include "core/exact/psv_recursion.hpp"
#include "core/exact/sh_recursion.hpp"

namespace sitewave::exact {

namespace {

using zd = std::complex<double>;

constexpr double two_pi = 2.0 * std::numbers::pi;

// Lines per block handed to a thread: enough to hide the hand-out.
constexpr std::size_t lines_per_block = 64;

// Horizontal slownesses of the incident SH and P waves, set by the undamped
// velocities of the half-space.
struct slownesses {
  double sh, p;
};

slownesses slowness_of(std::span<const layer_row> rows, double theta) {
  const double s = std::sin(theta);
  return {s / rows.back().vs, s / rows.back().vp};
}

// One line for omega ≥ 0; scratch holds one damped row per row.
transfer_at transfer_with(std::span<const layer_row> rows, slownesses s, double omega,
                          std::span<damped_row> scratch) {
  const double hertz = omega / two_pi;
  for (std::size_t i = 0; i < rows.size(); ++i) scratch[i] = damp(rows[i], hertz);
  const std::span<const damped_row> damped = scratch;
  const sh_columns sh = sh_response(damped, s.sh, omega);
  const psv_motion psv = psv_response(damped, s.p, omega, incident_wave::p);
  const psv_motion alone = psv_response(damped.last(1), s.p, omega, incident_wave::p);
  // The radial columns divide by vertical motion counted upwards.
  const zd incident_up = -psv.incident.z;
  const zd base_up = -psv.base.z;
  return {
      .sh_incident = sh.incident,
      .sh_within = sh.within,
      .vertical_incident = psv.surface.z / psv.incident.z,
      .vertical_within = psv.surface.z / psv.base.z,
      .radial_incident = psv.surface.x / incident_up,
      .radial_within = psv.surface.x / base_up,
      .vertical_free_surface = alone.surface.z / alone.incident.z,
  };
}

transfer_at conjugate(const transfer_at& t) {
  return {std::conj(t.sh_incident),          std::conj(t.sh_within),
          std::conj(t.vertical_incident),    std::conj(t.vertical_within),
          std::conj(t.radial_incident),      std::conj(t.radial_within),
          std::conj(t.vertical_free_surface)};
}

}  // namespace

void exact_transfer(std::span<const layer_row> rows, double theta, double dom,
                    std::span<transfer_at> out, const work_control& control) {
  check_model(rows, theta);
  if (!(std::isfinite(dom) && dom >= 0.0)) {
    throw std::invalid_argument("exact transfer: frequency step " + std::to_string(dom) +
                                ": a finite value of zero or more is expected");
  }
  const slownesses s = slowness_of(rows, theta);
  for_each_block(out.size(), lines_per_block, control, [&](std::size_t first, std::size_t last) {
    std::vector<damped_row> scratch(rows.size());
    for (std::size_t k = first; k < last; ++k) {
      out[k] = transfer_with(rows, s, static_cast<double>(k) * dom, scratch);
    }
  });
}

transfer_at exact_transfer_at(std::span<const layer_row> rows, double theta, double omega) {
  check_model(rows, theta);
  if (!std::isfinite(omega)) {
    throw std::invalid_argument("exact transfer: angular frequency " + std::to_string(omega) +
                                ": a finite value is expected");
  }
  std::vector<damped_row> scratch(rows.size());
  const slownesses s = slowness_of(rows, theta);
  if (omega < 0.0) return conjugate(transfer_with(rows, s, -omega, scratch));
  return transfer_with(rows, s, omega, scratch);
}

}  // namespace sitewave::exact
