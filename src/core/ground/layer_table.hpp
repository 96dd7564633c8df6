// The layer table: eight parallel columns, one row per layer from the
// surface down; row nl is the half-space below the layers.
#pragma once

#include "core/spectral/array1.hpp"

namespace sitewave::ground {

inline constexpr int ml = 50;  // capacity of the layer table

struct layer_table {
  array1<float, ml> dns;  // density
  array1<float, ml> vp;   // P-wave velocity
  array1<float, ml> qp;   // P-wave base quality factor
  array1<float, ml> fp;   // P-wave frequency coefficient of the quality factor
  array1<float, ml> vs;   // S-wave velocity
  array1<float, ml> qs;   // S-wave base quality factor
  array1<float, ml> fs;   // S-wave frequency coefficient of the quality factor
  array1<float, ml> thk;  // thickness in metres (not used for row nl)
  int nl = 0;             // rows in use
};

}  // namespace sitewave::ground
