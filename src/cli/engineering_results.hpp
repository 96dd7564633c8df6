// The results engineers read first, from an analysis: response spectra of
// the input record and of the surface motion (pseudo-spectral acceleration,
// long format for response.csv) and the smoothed Fourier spectra.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "cli/analysis.hpp"
#include "cli/record.hpp"
#include "core/parallel/work_control.hpp"

namespace sitewave::cli {

struct response_table {
  std::vector<double> damping;
  std::vector<double> periods;  // the first is 0: the peak acceleration
  // psa[d][c][p]: damping d, series c (input H1, H2, V1, then surface H1,
  // H2, V1), period p.
  std::vector<std::array<std::vector<double>, 6>> psa;
};

// The periods of --periods: a list "T1,T2,..." or a file of periods in s
// (separated by line ends, blanks or commas); nothing given gives the default
// 100 periods from 0.01 to 10 s. Period 0 (the peak acceleration) comes first.
std::vector<double> response_periods(const std::optional<std::string>& option);

// The record and the surface motion before any integration or
// differentiation, both taken as acceleration.
response_table response_spectra(const record& r, const analysis& a, std::vector<double> periods,
                                const std::vector<double>& damping, const work_control& control);

std::string response_csv(const response_table& t);

// Konno–Ohmachi smoothing of the six Fourier amplitude spectra of spectra.csv.
std::array<std::vector<double>, 6> smoothed_spectra(const analysis& a, double bandwidth);

}  // namespace sitewave::cli
