// EPRI (1993) sand curves by depth: six published pairs for depth ranges of
// 0-20, 20-50, 50-120, 120-250, 250-500 and 500-1000 ft; a layer takes the
// range that holds the depth of its middle, the last range below 1000 ft.
#include <array>
#include <cstddef>

#include "core/soil/models.hpp"

namespace sitewave::soil {

namespace {

// Electric Power Research Institute (1993), "Guidelines for determining
// design basis ground motions", Report TR-102293: the generic sand curves
// by depth. Values as tabulated in Strata's
// NonlinearPropertyLibrary.cpp ("EPRI (93), 0-20 ft" ...), strain in percent
// (four points a decade from 1e-4 % to 1 %), damping in percent.
constexpr std::size_t points = 17;
constexpr std::array<double, points> strain_percent = {
    1.000e-04, 1.778e-04, 3.162e-04, 5.623e-04, 1.000e-03, 1.778e-03,
    3.162e-03, 5.623e-03, 1.000e-02, 1.778e-02, 3.162e-02, 5.623e-02,
    1.000e-01, 1.778e-01, 3.162e-01, 5.623e-01, 1.000e+00};

constexpr double metres_per_foot = 0.3048;

struct depth_range {
  double bottom_ft;  // the range holds depths up to and including this
  std::array<double, points> modulus;
  std::array<double, points> damping_percent;
};

constexpr std::array<depth_range, 6> ranges = {{
    {20.0,
     {1.000, 1.000, 1.000, 0.998, 0.986, 0.960, 0.920, 0.851, 0.759, 0.642, 0.515, 0.392, 0.278,
      0.189, 0.121, 0.073, 0.043},
     {1.429, 1.476, 1.536, 1.602, 1.879, 2.193, 2.819, 3.724, 5.066, 6.940, 9.346, 12.201, 15.443,
      18.703, 21.704, 24.541, 27.217}},
    {50.0,
     {1.000, 1.000, 1.000, 0.999, 0.993, 0.979, 0.952, 0.903, 0.830, 0.733, 0.617, 0.488, 0.366,
      0.258, 0.173, 0.108, 0.066},
     {1.142, 1.196, 1.250, 1.304, 1.469, 1.670, 2.074, 2.658, 3.622, 5.066, 7.069, 9.569, 12.500,
      15.688, 19.004, 22.022, 24.699}},
    {120.0,
     {1.000, 1.000, 1.000, 0.999, 0.998, 0.988, 0.970, 0.934, 0.878, 0.797, 0.691, 0.567, 0.444,
      0.328, 0.225, 0.145, 0.092},
     {1.000, 0.982, 0.978, 1.122, 1.165, 1.371, 1.610, 2.046, 2.830, 3.901, 5.493, 7.662, 10.381,
      13.383, 16.643, 19.766, 22.580}},
    {250.0,
     {1.000, 1.000, 1.000, 0.999, 0.999, 0.994, 0.979, 0.954, 0.909, 0.840, 0.747, 0.631, 0.507,
      0.384, 0.274, 0.182, 0.118},
     {0.857, 0.839, 0.821, 0.880, 1.006, 1.125, 1.341, 1.629, 2.198, 3.131, 4.460, 6.281, 8.686,
      11.573, 14.770, 17.879, 20.906}},
    {500.0,
     {1.000, 1.000, 1.000, 0.999, 0.999, 0.999, 0.986, 0.968, 0.934, 0.879, 0.799, 0.696, 0.575,
      0.449, 0.332, 0.230, 0.148},
     {0.786, 0.792, 0.799, 0.811, 0.867, 0.950, 1.081, 1.344, 1.774, 2.515, 3.520, 5.077, 7.206,
      9.853, 12.839, 15.972, 19.072}},
    {1000.0,
     {1.000, 1.000, 1.000, 1.000, 1.000, 1.000, 0.995, 0.982, 0.960, 0.915, 0.850, 0.765, 0.660,
      0.532, 0.410, 0.297, 0.200},
     {0.492, 0.554, 0.607, 0.589, 0.643, 0.696, 0.772, 0.983, 1.234, 1.735, 2.562, 3.696, 5.408,
      7.617, 10.428, 13.524, 16.459}},
}};

}  // namespace

curve epri_sand(double depth_m) {
  // The published ranges are in feet; their bounds in metres are the exact
  // conversions (6.096, 15.24, 36.576, 76.2, 152.4 m), not rounded figures.
  std::size_t k = 0;
  while (k + 1 < ranges.size() && depth_m > ranges[k].bottom_ft * metres_per_foot) ++k;
  return published_table(strain_percent, ranges[k].modulus, strain_percent,
                         ranges[k].damping_percent);
}

}  // namespace sitewave::soil
