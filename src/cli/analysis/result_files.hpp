// The contents of the files of a results folder, each made from an analysis
// into a sink, piece by piece: the three files in the dialogue's own form,
// and the clean comma-separated files with one header row and full-precision
// values.
#pragma once

#include <string>

#include "cli/analysis/analysis.hpp"
#include "cli/inputs/record.hpp"
#include "cli/io/text_sink.hpp"

namespace sitewave::cli {

// Amp-Factors.csv, amp1.csv and wave1.csv, byte for byte as the dialogue
// writes them for the same inputs.
void amp_factors_csv(const analysis& a, text_sink& out);
void spectrum_csv(const analysis& a, const record& r, text_sink& out);
void wave_csv(const analysis& a, const record& r, text_sink& out);

// transfer.csv: the complex amplification applied, per grid frequency.
void transfer_csv(const analysis& a, text_sink& out);
// spectra.csv: Fourier amplitudes of the input record and the surface motion
// (those of fourier_amplitudes, taken line by line from the analysis) and
// their smoothed forms (`smoothed`, six spectra in the same order), from the
// first non-zero grid frequency to Nyquist.
void spectra_csv(const analysis& a, const std::array<std::vector<double>, 6>& smoothed,
                 text_sink& out);

// The six Fourier amplitude spectra of spectra.csv (input H1, H2, V1, then
// surface H1, H2, V1), grid lines 1..nom.
std::array<std::vector<double>, 6> fourier_amplitudes(const analysis& a);

// surface.csv: time, the surface motion itself, then the input record, for
// the components the record has.
void surface_csv(const analysis& a, const record& r, text_sink& out);

// A value with 9 significant digits, as every clean file writes computed
// double values; "nan" for a value that is not a number.
void append_value(std::string& out, double v);
// A single-precision value (a time, a record sample, a waveform sample) in
// the fewest digits that read back to it: 0.02, not 0.0199999996.
void append_single(std::string& out, float v);

// The time of waveform sample i (from 0): the record's own times, continued
// at the time step past its end.
float sample_time(const record& r, const analysis& a, int i);

}  // namespace sitewave::cli
