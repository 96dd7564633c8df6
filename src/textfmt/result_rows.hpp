// The layouts and titles of the three result files of an analysis, the
// amplification table, the Fourier spectra and the waveforms, which both
// front ends write in the same form.
#pragma once

#include <string_view>

#include "textfmt/layout.hpp"

namespace sitewave::textfmt {

inline constexpr std::string_view amp_factors_file = "Amp-Factors.csv";
inline constexpr std::string_view spectrum_file = "amp1.csv";
inline constexpr std::string_view wave_file = "wave1.csv";

inline constexpr std::string_view amp_factors_title = "frequency (Hz),Samp1,Samp2,Pamp1,Pamp2";
inline constexpr std::string_view spectrum_title = "frequency(Hz),";

// Frequency, then up to six moduli: the rows end with the comma of the first
// field left without a value.
inline constexpr layout amp_row{"(F8.4,6(',',E12.4))"};
inline constexpr layout spectrum_row{"(F8.4,6(',',E12.4))"};
// Time, then the three components.
inline constexpr layout wave_row{"(F10.5,3(',',E12.4))"};

}  // namespace sitewave::textfmt
