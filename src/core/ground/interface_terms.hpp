// The two terms of an interface that the layer matrix needs besides the
// frequency: the impedance ratio of the rows that meet there and the vertical
// slowness of the row above, on every line of a block. Rows whose damping
// does not depend on frequency give the same terms at every frequency: those
// are formed once per table, by the very operations a line would use.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "core/ground/layer_stack.hpp"

namespace sitewave::ground {

struct interface_lines {
  complex_lines am;        // impedance ratio, row above over row below
  complex_lines slowness;  // vertical slowness of the row above
};

class interface_terms {
 public:
  // Working values of one block: its frequencies and, for every distinct
  // coefficient f of the power law, freq^f on each line.
  struct block_powers {
    line_values freq;
    std::vector<line_values> growth;
  };

  // Layers and model must outlive the terms; cinv2 is the squared horizontal
  // slowness.
  interface_terms(const layer_table& layers, const wave_model& model, cplx cinv2);

  void start_block(const line_values& freq, block_powers& powers) const;

  // Terms of interface il (between rows il and il + 1) on the block's lines.
  void at_interface(int il, const block_powers& powers, interface_lines& out) const;

 private:
  using per_row = std::vector<cplx>;  // indexed by row, 1..nl

  void add_coefficients();
  void form_fixed_terms();
  void upper_velocity(int l, const block_powers& powers, complex_lines& v) const;
  bool lower_velocity(int l, const block_powers& powers, complex_lines& v) const;

  const layer_table& layers_;
  const wave_model& model_;
  cplx cinv2_;

  // The distinct coefficients of the power law, one at most per wave type
  // of every row above an interface.
  std::vector<float> coefficients_;
  // For the upper-member rule of wave w in row l: which coefficient's powers
  // it takes, or −1 when its coefficient is zero.
  std::array<std::vector<int>, max_waves> growth_index_;

  // Frequency-independent damping: the upper-member rule whenever every
  // coefficient of the row is zero; the lower-member rule only on lines where
  // it gives back the base factors (a product that overflows does not).
  std::vector<bool> upper_fixed_;
  std::vector<bool> lower_may_be_fixed_;
  per_row upper_v_;
  per_row lower_v_;
  per_row fixed_slowness_;  // by interface, where the row above is fixed
  per_row fixed_am_;        // by interface, where both rows may be fixed
};

}  // namespace sitewave::ground
