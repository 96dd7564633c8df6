// The exact tables against the way they were computed before (every line
// damping every row, library division, square root and exponential): within
// 1e-12 of each value on a set of profiles, angles beyond critical included,
// for every kind of damping.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "close_values.hpp"
#include "core/exact/exact_transfer.hpp"
#include "reference/exact_before.hpp"

namespace sitewave::exact {
namespace {

constexpr double undamped = std::numeric_limits<double>::infinity();

enum class growth { with_frequency, per_row, none };

// 50 rows, soft over stiff, as in the largest run.
std::vector<layer_row> deep_stack(growth g) {
  std::vector<layer_row> rows;
  for (int l = 0; l < 50; ++l) {
    const double d = l;
    const double fs = g == growth::none ? 0.0 : g == growth::per_row ? 0.5 + 0.01 * d : 0.5;
    const double fp = g == growth::none ? 0.0 : g == growth::per_row ? 0.3 + 0.01 * d : 0.3;
    const double vs = 120.0 + 25.0 * d;
    rows.push_back({1.6 + 0.02 * d, 2.2 * vs, 12.0 + d, fp, vs, 8.0 + d, fs, 2.0 + 0.5 * d});
  }
  return rows;
}

// A fast, undamped or lightly damped layer inside slower ground: beyond the
// critical angle its field is evanescent; thick rows give huge exponents.
std::vector<layer_row> fast_layer(double q, double thickness) {
  return {
      {1.8, 600.0, 20.0, 0.2, 250.0, 15.0, 0.4, 8.0},
      {2.4, 2600.0, q, 0.0, 1500.0, q, 0.0, thickness},
      {1.9, 900.0, undamped, 0.7, 350.0, 30.0, -0.1, 0.0},
      {2.0, 1000.0, 40.0, 0.0, 500.0, 40.0, 0.0, 0.0},
  };
}

// Strong damping, a row of zero thickness and a very thick soft row.
std::vector<layer_row> thick_soft() {
  return {
      {1.5, 300.0, 1.0, 0.0, 80.0, 0.6, 0.0, 0.0},
      {1.6, 350.0, 2.0, 0.1, 100.0, 1.5, 0.2, 1500.0},
      {2.2, 1800.0, 50.0, 0.0, 800.0, 50.0, 0.0, 0.0},
  };
}

struct profile_case {
  std::string name;
  std::vector<layer_row> rows;
  double degrees, dom;
  std::size_t lines;
};

std::vector<profile_case> cases() {
  // The frequencies of the largest run, every fourth line.
  const double dom = 4.0 * two_pi / (32768 * 0.01);
  std::vector<profile_case> out;
  for (const double degrees : {0.0, 30.0, 75.0}) {
    out.push_back({"deep, growing", deep_stack(growth::with_frequency), degrees, dom, 4097});
    out.push_back({"deep, per row", deep_stack(growth::per_row), degrees, dom, 4097});
    out.push_back({"deep, fixed", deep_stack(growth::none), degrees, dom, 4097});
  }
  for (const double degrees : {10.0, 35.0, 60.0, 89.0}) {
    out.push_back({"fast layer undamped", fast_layer(undamped, 40.0), degrees, 0.05, 4097});
    out.push_back({"fast layer damped", fast_layer(30.0, 40.0), degrees, 0.05, 4097});
    out.push_back({"fast layer thick", fast_layer(30.0, 20000.0), degrees, 0.05, 4097});
    out.push_back({"thick soft", thick_soft(), degrees, 0.05, 4097});
  }
  return out;
}

// Values below 1e-150 are waves through thick, strongly damped rows, whose
// exponent (beyond e^−345) carries the last bit of the slowness a thousand
// times: those are held to 1e-162 absolute.
bool same_or_close(zd got, zd want) {
  if (std::isfinite(std::abs(want))) return close(got, want, 1e-12, 1e-150);
  return got == want || (std::isnan(got.real()) && std::isnan(want.real()));
}

TEST(EarlierTables, EveryColumnWithinOneInTenToTheTwelve) {
  for (const profile_case& c : cases()) {
    const double theta = radians(c.degrees);
    std::vector<transfer_at> now(c.lines), before(c.lines);
    exact_transfer(c.rows, theta, c.dom, now, {.threads = 2});
    exact_before::exact_transfer(c.rows, theta, c.dom, before, {.threads = 2});
    int reported = 0;
    for (std::size_t k = 0; k < c.lines && reported < 5; ++k) {
      const transfer_at& a = now[k];
      const transfer_at& b = before[k];
      const zd got[] = {a.sh_incident,    a.sh_within,     a.vertical_incident,    a.vertical_within,
                        a.radial_incident, a.radial_within, a.vertical_free_surface};
      const zd want[] = {b.sh_incident,    b.sh_within,     b.vertical_incident,    b.vertical_within,
                         b.radial_incident, b.radial_within, b.vertical_free_surface};
      for (int col = 0; col < 7; ++col) {
        if (same_or_close(got[col], want[col])) continue;
        ADD_FAILURE() << c.name << " at " << c.degrees << " degrees, line " << k << ", column "
                      << col << ": got " << got[col] << ", before " << want[col] << " (relative "
                      << std::abs(got[col] - want[col]) / std::abs(want[col]) << ")";
        ++reported;
      }
    }
  }
}

}  // namespace
}  // namespace sitewave::exact
