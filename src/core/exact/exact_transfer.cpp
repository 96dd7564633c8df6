// The exact amplification over a frequency grid: the lines are shared among
// threads in blocks, each line formed by the table's plan.
#include "core/exact/exact_transfer.hpp"

#include <cmath>
#include <stdexcept>
#include <string>

#include "core/exact/model_checks.hpp"
#include "core/exact/table_plan.hpp"

namespace sitewave::exact {

namespace {

// Lines per block handed to a thread: enough to hide the hand-out.
constexpr std::size_t lines_per_block = 64;

transfer_at conjugate(const transfer_at& t) {
  return {std::conj(t.sh_incident),          std::conj(t.sh_within),
          std::conj(t.vertical_incident),    std::conj(t.vertical_within),
          std::conj(t.radial_incident),      std::conj(t.radial_within),
          std::conj(t.vertical_free_surface)};
}

}  // namespace

void exact_transfer(std::span<const layer_row> rows, double theta, double dom,
                    std::span<transfer_at> out, const work_control& control, transfer_part part) {
  check_model(rows, theta);
  if (!(std::isfinite(dom) && dom >= 0.0)) {
    throw std::invalid_argument("exact transfer: frequency step " + std::to_string(dom) +
                                ": a finite value of zero or more is expected");
  }
  const table_plan plan(rows, theta, dom);
  for_each_block(out.size(), lines_per_block, control, [&](std::size_t first, std::size_t last) {
    table_plan::scratch scratch = plan.make_scratch();
    for (std::size_t k = first; k < last; ++k) plan.line(k, part, scratch, out[k]);
  });
}

transfer_at exact_transfer_at(std::span<const layer_row> rows, double theta, double omega) {
  check_model(rows, theta);
  if (!std::isfinite(omega)) {
    throw std::invalid_argument("exact transfer: angular frequency " + std::to_string(omega) +
                                ": a finite value is expected");
  }
  // Line 1 of a grid whose step is |omega|: every crossing factor formed
  // directly.
  const table_plan plan(rows, theta, std::fabs(omega));
  table_plan::scratch scratch = plan.make_scratch();
  transfer_at t;
  plan.line(1, transfer_part::all, scratch, t);
  return omega < 0.0 ? conjugate(t) : t;
}

}  // namespace sitewave::exact
