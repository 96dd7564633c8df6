// SH and P-SV amplification of the layer stack over the frequency grid.
#pragma once

#include "core/ground/amp_table.hpp"
#include "core/ground/layer_table.hpp"

namespace sitewave::ground {

// Fills amp(i, 1) and amp(i, 2) for i = 1..nom, entry i standing for the
// angular frequency fom + (i − 1)·dom; entries above nom are left untouched.
// theta is the incidence angle in the half-space, in radians.
void sbshml(float fom, float dom, int nom, const layer_table& layers, float theta, amp_table& amp);
void sbudml(float fom, float dom, int nom, const layer_table& layers, float theta, amp_table& amp);

}  // namespace sitewave::ground
