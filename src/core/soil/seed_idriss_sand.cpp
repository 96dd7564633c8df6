// Seed and Idriss (1970) sand: the upper, mean and lower bounds of the
// published modulus reduction band, each with a damping curve of the
// published damping band. A stiffer sand dissipates less, so the upper
// modulus bound goes with the lower damping bound, the mean with the mean,
// and the lower modulus bound with the upper damping bound.
#include <array>

#include "core/soil/models.hpp"

namespace sitewave::soil {

namespace {

// Seed, H. B. and Idriss, I. M. (1970), "Soil moduli and damping factors for
// dynamic response analyses", Report EERC 70-10, Earthquake Engineering
// Research Center, University of California, Berkeley: the curves for sands.

// The mean curves as tabulated in Strata's NonlinearPropertyLibrary.cpp
// ("Seed & Idriss, Sand Mean"), strain in percent, damping in percent.
constexpr std::array<double, 9> mean_strain_percent = {1e-4,    3.16e-4, 1e-3,    3.16e-3, 1e-2,
                                                       3.16e-2, 1e-1,    3.16e-1, 1.0};
constexpr std::array<double, 9> mean_modulus = {1.00, 0.99, 0.96, 0.88, 0.74,
                                                0.52, 0.29, 0.15, 0.06};
constexpr std::array<double, 9> mean_damping_percent = {0.57, 0.86,  1.70,  3.10, 5.50,
                                                        9.50, 15.50, 21.10, 24.60};

// The bounds of both bands as digitised by F. Gatti (Ecole Centrale Paris,
// 2015) in the MATLAB function G_gamma_D_model_curves ("Seed and Idriss
// digitalized curves", curve 1 the upper modulus and lower damping bound,
// curve 2 the lower modulus and upper damping bound). Strain there is a
// ratio; it is written here in percent (times 100), damping in percent.
constexpr std::array<double, 22> upper_modulus_strain_percent = {
    1e-4,      5.9936e-4, 8.9508e-4, 1.5211e-3, 2.6925e-3, 4.5474e-3, 6.7485e-3, 8.8737e-3,
    1.5712e-2, 2.2322e-2, 3.301e-2,  4.5685e-2, 6.0196e-2, 8.1985e-2, 0.11549,   0.19129,
    0.24926,   0.33454,   0.46625,   0.68603,   0.88777,   1.0};
constexpr std::array<double, 22> upper_modulus = {
    1.0,     0.99875, 0.99469, 0.98544, 0.96027, 0.92144, 0.88636, 0.85503,
    0.77358, 0.71186, 0.62556, 0.54799, 0.48563, 0.41818, 0.35502, 0.27509,
    0.23367, 0.19654, 0.16009, 0.12214, 0.10165, 0.095782};
constexpr std::array<double, 22> lower_damping_strain_percent = {
    1.0194e-4, 1.676e-4,  3.2607e-4, 6.9667e-4, 1.1544e-3, 3.1951e-3, 4.7526e-3, 8.1817e-3,
    1.3624e-2, 2.1294e-2, 3.5637e-2, 4.9446e-2, 7.4008e-2, 0.11206,   0.13849,   0.19387,
    0.27229,   0.36295,   0.50396,   0.61106,   0.80475,   0.92514};
constexpr std::array<double, 22> lower_damping_percent = {
    0.2397, 0.28185, 0.36467, 0.5556, 0.77381, 1.4023, 1.8338, 2.4352, 3.2144, 4.1087, 5.5453,
    6.7015, 8.3674,  10.241,  11.435, 13.312,  14.949, 16.62,  18.145, 19.179, 20.417, 20.973};
constexpr std::array<double, 21> lower_modulus_strain_percent = {
    1e-4,      1.0749e-4, 1.8503e-4, 3.4744e-4, 8.165e-4,  1.031e-3, 1.9562e-3,
    3.5565e-3, 6.218e-3,  9.204e-3,  1.4488e-2, 2.7921e-2, 4.72e-2,  7.1937e-2,
    0.1139,    0.19052,   0.32296,   0.48364,   0.71855,   0.83496,  0.96228};
constexpr std::array<double, 21> lower_modulus = {
    1.0,     0.9949,  0.98996, 0.97266, 0.93491,  0.92166,  0.87332,
    0.81204, 0.72844, 0.65585, 0.56515, 0.43887,  0.35242,  0.27907,
    0.2129,  0.15532, 0.10928, 0.08429, 0.065808, 0.060589, 0.057544};
constexpr std::array<double, 22> upper_damping_strain_percent = {
    1.0356e-4, 1.4718e-4, 2.8331e-4, 4.5922e-4, 7.997e-4,  1.1552e-3, 1.6818e-3, 3.3339e-3,
    5.2773e-3, 1.1252e-2, 1.8936e-2, 2.71e-2,   4.9022e-2, 8.2246e-2, 0.12791,   0.22521,
    0.30893,   0.43814,   0.61418,   0.76619,   0.90009,   0.9415};
constexpr std::array<double, 22> upper_damping_percent = {
    0.65595, 0.75265, 1.1086, 1.5041, 2.2494, 2.9708, 3.9003, 5.8746, 7.506,  10.423, 12.774,
    14.458,  17.414,  20.101, 22.247, 24.772, 25.816, 26.715, 27.389, 27.684, 27.853, 27.916};

}  // namespace

curve seed_idriss_sand(sand_bound bound) {
  switch (bound) {
    case sand_bound::upper:
      return published_table(upper_modulus_strain_percent, upper_modulus,
                             lower_damping_strain_percent, lower_damping_percent);
    case sand_bound::lower:
      return published_table(lower_modulus_strain_percent, lower_modulus,
                             upper_damping_strain_percent, upper_damping_percent);
    case sand_bound::mean:
      break;
  }
  return published_table(mean_strain_percent, mean_modulus, mean_strain_percent,
                         mean_damping_percent);
}

}  // namespace sitewave::soil
