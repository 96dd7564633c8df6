// Input files for whole-program tests: wave records and ground models.
#pragma once

#include <string>
#include <vector>

namespace sitewave::testing {

// A record of n rows at step dt: time, then three distinct smooth components.
std::string sine_record(int n, float dt);

// A record from explicit rows of (time, H1, H2, V1), with the usual titles.
struct row {
  double t, h1, h2, v1;
};
std::string record_of(const std::vector<row>& rows);

// The layered model used across the tests: two layers over a half-space,
// 30 degrees incidence, input wave type nin.
std::string three_layer_soil(int nin = 1);

// Only the half-space (no layers): the amplification is 2 and 1 throughout.
std::string half_space_soil(int nin);

}  // namespace sitewave::testing
