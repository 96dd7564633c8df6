// The results engineers read first, from an analysis: response spectra of
// the input record and of the surface motion (pseudo-spectral acceleration,
// long format for response.csv) and the smoothed Fourier spectra.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/analysis/analysis.hpp"
#include "cli/inputs/record.hpp"
#include "core/parallel/work_control.hpp"

namespace sitewave::cli {

// Pseudo-spectral acceleration of the three components of one motion:
// psa[d][c][p] for damping d, component c (H1, H2, V1) and period p.
// RotD50 and RotD100 of the horizontal pair: rotd[d][0] and rotd[d][1],
// empty for a motion with a single horizontal.
struct motion_spectra {
  std::vector<std::array<std::vector<double>, 3>> psa;
  std::vector<std::array<std::vector<double>, 2>> rotd;
};

// The periods of --periods: a list "T1,T2,..." or a file of periods in s
// (separated by line ends, blanks or commas); nothing given gives the default
// 100 periods from 0.01 to 10 s. Period 0 (the peak acceleration) comes first.
std::vector<double> response_periods(const std::optional<std::string>& option);

// The record, taken as acceleration: it needs no analysis, so it may be
// computed while the analysis runs.
motion_spectra record_spectra(const record& r, std::span<const double> periods,
                              std::span<const double> damping, const work_control& control);

// The surface motion before any integration or differentiation. A component
// that is not finite (an overflowed legacy model) has NaN spectra.
motion_spectra surface_spectra(const analysis& a, std::span<const double> periods,
                               std::span<const double> damping, const work_control& control);

// The spectra of components (H1, H2, V1; an empty vector for one a motion
// does not have) at every damping ratio.
motion_spectra spectra_of(const std::array<std::vector<double>, 3>& series, double dt,
                          std::span<const double> periods, std::span<const double> damping,
                          const work_control& control);

// A motion whose spectra response.csv gives, named by its location column:
// "surface", or "within_10m" / "outcrop_10m" for a motion at depth.
struct response_location {
  std::string name;
  const motion_spectra* motion;
  bool surface = false;
};

// response.csv: the input's spectra beside each location's, rows of the
// surface first, then the RotD columns (empty where a motion has a single
// horizontal) and the location.
std::string response_csv(std::span<const double> periods, std::span<const double> damping,
                         const motion_spectra& input, std::span<const response_location> places);

// Konno–Ohmachi smoothing of the six Fourier amplitude spectra of
// spectra.csv (from fourier_amplitudes), on the grid of the analysis.
std::array<std::vector<double>, 6> smoothed_spectra(const analysis& a,
                                                    std::array<std::vector<double>, 6> raw,
                                                    double bandwidth);

}  // namespace sitewave::cli
