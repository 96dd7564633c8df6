// Band-limited interpolation of a sampled record to a finer step: the record
// is taken as the sum of its samples' sinc pulses (at rest before the first
// and after the last sample), evaluated `factor` times per input step.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "core/response/simd_path.hpp"

namespace sitewave::response {

// Returns (n - 1) * factor + 1 values at step dt / factor for n samples at dt;
// value j * factor is record[j] unchanged. factor >= 1. Every path gives the
// same bits.
std::vector<double> band_limited_interpolation(std::span<const double> record, int factor,
                                               simd_path path = fastest_simd_path());

// How many values of scratch storage the interpolation of n samples works in.
std::size_t interpolation_scratch_size(std::size_t samples);

// The same into out, which must hold exactly (n - 1) * factor + 1 values,
// working in scratch, which must hold at least interpolation_scratch_size(n).
// A caller that allocates both in one block touches fresh memory only once.
void band_limited_interpolation(std::span<const double> record, int factor, std::span<double> out,
                                std::span<double> scratch, simd_path path = fastest_simd_path());

}  // namespace sitewave::response
