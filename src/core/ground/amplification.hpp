// SH and P-SV amplification of the layer stack over the frequency grid.
#pragma once

#include "core/ground/amp_table.hpp"
#include "core/ground/layer_table.hpp"
#include "core/parallel/work_control.hpp"

namespace sitewave::ground {

// The single-precision π/180 the angle of these tables is converted with:
// theta = degrees · radians_per_degree_single, one rounding.
inline constexpr float radians_per_degree_single = 0.017453292f;

// Fill amp(i, 1) and amp(i, 2) for i = 1..nom (at most the columns' length),
// entry i standing for the angular frequency fom + (i − 1)·dom; entries above
// nom are left untouched. theta is the incidence angle in the half-space, in
// radians. The frequency lines are independent: `control` shares them among
// threads (the results do not depend on how many) and may stop the work early.
void sbshml(float fom, float dom, int nom, const layer_table& layers, float theta, amp_columns amp,
            const work_control& control = {});
void sbudml(float fom, float dom, int nom, const layer_table& layers, float theta, amp_columns amp,
            const work_control& control = {});

}  // namespace sitewave::ground
