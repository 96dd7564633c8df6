// The steps of a run, in the order the run performs them.
#pragma once

#include "dialogue/run_storage.hpp"

namespace sitewave::dialogue {

// Opening lines, the prompt and the record file name.
void ask_record_name(run_storage& s);

// Reads the record, fixes the transform size and the frequency grid and
// transforms the three components forward, scaled by the time step.
void read_record(run_storage& s);
void transform_record(run_storage& s);

// One line on the standard error stream when an amplification entry is not
// finite: the layer recursion overflowed from that frequency on.
void warn_if_not_finite(run_storage& s);

// Writes Amp-Factors.csv and applies column nin of the tables to the spectra.
void apply_amplification(run_storage& s);

// The shaping dialogue and pass: band-pass weights, integration or
// differentiation, zero-frequency line removed.
void shape_spectra(run_storage& s);

// Writes amp1.csv from the shaped spectra.
void write_spectrum_file(run_storage& s);

// Completes the negative frequencies and transforms back to waveforms.
void synthesise_waveforms(run_storage& s);

// Summary of the output waveforms, closing notices and wave1.csv.
void write_results(run_storage& s);

}  // namespace sitewave::dialogue
