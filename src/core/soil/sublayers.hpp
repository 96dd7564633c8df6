// The split of a profile's layers into equal sublayers thin enough for the
// highest frequency of an analysis: each sublayer at most one fifth of its
// layer's shear wavelength Vs / F. The half-space stays whole.
#pragma once

#include <span>

#include "core/soil/profile_facts.hpp"

namespace sitewave::soil {

struct sublayer {
  int layer;      // index of its row in the profile (from 0; the last is the half-space)
  double top;     // m below the surface
  double bottom;  // m below the surface; infinity for the half-space
};

// More than this many sublayers is refused: a frequency that asks for them
// is a slip, and the caller would have to find room for them all.
inline constexpr int max_sublayers = 100000;

// How many sublayers split_layers gives: for each layer of thickness h,
// n = ceil(h / (Vs / (5 F))) and at least 1 (a layer of no thickness keeps one
// sublayer of no thickness), with F = 0 meaning no split; then 1 for the
// half-space. A layer whose thickness is a whole number of fifth-wavelengths
// to 1e-12 is not given one more sublayer for rounding. Throws
// std::invalid_argument for a row check_profile refuses, a frequency
// that is not a finite number of zero or more, or more than max_sublayers.
int sublayer_count(std::span<const profile_row> rows, double max_frequency);

// The sublayers from the surface down, out.size() == sublayer_count(...);
// those of a layer share its thickness equally and end exactly at its bottom.
void split_layers(std::span<const profile_row> rows, double max_frequency, std::span<sublayer> out);

}  // namespace sitewave::soil
