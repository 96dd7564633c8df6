// One linear analysis of a record through the rows of the ground: the shear
// strain history at the mid-depth of every layer from one wave-field pass
// per line, and on demand the rest of a row's results from the same pass.
#pragma once

#include <span>
#include <vector>

#include "core/eql/equivalent_linear.hpp"
#include "core/eql/record_lines.hpp"

namespace sitewave::eql {

class profile_pass {
 public:
  // The record is checked by the caller; rows is the number of rows
  // (layers and the half-space) every analysis will have.
  profile_pass(const record_input& record, std::size_t rows);

  // One analysis through rows: per line one wave field, whose values at the
  // mid-depth (strain, stress) and top (acceleration) of every row are kept;
  // then one inverse transform per layer for its strain. False when stopped.
  bool analyse(std::span<const exact::layer_row> rows, const work_control& control);

  // The peak strains of the last analysis, one per layer above the half-space.
  std::span<const double> peak_strains() const { return strains_; }

  // The per-row results of the last analysis, which used `used`; empty when
  // stopped.
  std::vector<layer_result> results(std::span<const soil_layer> layers,
                                    std::span<const layer_properties> used, double strain_ratio,
                                    const work_control& control);

 private:
  record_lines lines_;
  std::vector<channel> strain_;  // γyz + i·γxy at each layer's mid-depth
  channel base_strain_;          // the same at the top of the half-space
  // τyz at the mid-depth (the half-space: its top) + i·acceleration at the
  // top, for every row; transformed only when the results are asked for.
  std::vector<channel> stress_and_motion_;
  std::vector<double> strains_;
};

}  // namespace sitewave::eql
