// The exact tables as the program computed them before their blocked,
// explicit arithmetic, kept for the benchmarks and for a test that holds the
// present tables to them. Not part of the program.
#pragma once

#include <complex>
#include <span>

#include "core/exact/exact_transfer.hpp"
#include "core/exact/psv_recursion.hpp"
#include "core/exact/sh_recursion.hpp"

namespace sitewave::exact_before {

using exact::incident_wave;
using exact::psv_motion;
using exact::sh_columns;

struct damped_row {
  double density;
  std::complex<double> vp, vs;
  double thickness;
};

damped_row damp(const exact::layer_row& row, double hertz);

sh_columns sh_response(std::span<const damped_row> rows, double p, double omega);

psv_motion psv_response(std::span<const damped_row> rows, double p, double omega,
                        incident_wave wave);

void exact_transfer(std::span<const exact::layer_row> rows, double theta, double dom,
                    std::span<exact::transfer_at> out, const work_control& control);

exact::transfer_at exact_transfer_at(std::span<const exact::layer_row> rows, double theta,
                                     double omega);

}  // namespace sitewave::exact_before
