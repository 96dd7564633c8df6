// Strain-dependent soil behaviour: the modulus reduction G/Gmax and the
// damping ratio D as functions of the shear strain amplitude, from a modified
// hyperbolic backbone with Masing damping or from tabulated points. A curve is
// a plain value (no heap, no shared state): copy it freely, read it from any
// number of threads.
#pragma once

#include <array>
#include <span>
#include <variant>
#include <vector>

namespace sitewave::soil {

// The core takes strain as a plain ratio (1e-4 is 0.01 %) and damping as a
// ratio (0.05 is 5 %); published tables and most files give both in percent.
constexpr double ratio_from_percent(double percent) {
  return percent / 100.0;
}
constexpr double percent_from_ratio(double ratio) {
  return ratio * 100.0;
}

struct curve_point {
  double strain;  // ratio, above zero
  double value;   // G/Gmax, or damping ratio
};

// Points a tabulated curve keeps for each of its two tables.
inline constexpr int max_curve_points = 64;

// The modified hyperbolic backbone G/Gmax = 1 / (1 + (strain / reference)^curvature)
// with Darendeli's damping D = masing_scaling * (G/Gmax)^0.1 * D_Masing + minimum,
// where D_Masing is the Masing damping of that backbone.
struct hyperbolic_law {
  double reference_strain;  // ratio, where G/Gmax = 1/2
  double curvature;         // exponent a
  double minimum_damping;   // ratio, the small-strain damping
  double masing_scaling;    // b, the factor on the Masing damping
};

class curve {
 public:
  // Throws std::invalid_argument unless the reference strain and curvature
  // are finite and above zero, 0 <= minimum damping < 0.5 and the scaling is
  // finite and at least 0.
  static curve hyperbolic(const hyperbolic_law& law);

  // Modulus ratios at their own strains and damping ratios at theirs. Each
  // table needs 1 to max_curve_points points, strains above zero and strictly
  // increasing, 0 < G/Gmax <= 1 and 0 <= D < 0.5 (half of critical damping
  // and more is no soil); anything else throws std::invalid_argument naming
  // the table, the point (from 1), its value and what is expected. Between
  // points a value is linear against log strain; beyond the first and last
  // point it is held at their values.
  static curve tabulated(std::span<const curve_point> modulus,
                         std::span<const curve_point> damping);

  // The same with strains and damping in percent (G/Gmax stays a ratio), as
  // published tables print them; the refusals name values in those units.
  static curve tabulated_percent(std::span<const curve_point> modulus,
                                 std::span<const curve_point> damping_percent);

  // Strain as a ratio. A strain at or below zero reads the small-strain end
  // (G/Gmax 1 and the minimum damping of a backbone, the first points of
  // tables); NaN gives NaN.
  double modulus_ratio(double strain) const;
  double damping_ratio(double strain) const;

 private:
  struct table {
    std::array<curve_point, max_curve_points> points;
    int size = 0;
  };
  struct tables {
    table modulus;
    table damping;
  };

  explicit curve(const hyperbolic_law& law) : law_(law) {}
  explicit curve(const tables& t) : law_(t) {}

  // Strains and damping given as ratios (scale 1) or in percent (scale 100).
  static curve from_points(std::span<const curve_point> modulus,
                           std::span<const curve_point> damping, double percent_scale);
  static double read(const table& t, double strain);

  std::variant<hyperbolic_law, tables> law_;
};

struct curve_sample {
  double strain;  // ratio
  double modulus_ratio;
  double damping_ratio;
};

// out[i] for strains[i]; throws std::invalid_argument when the sizes differ.
void sample_curve(const curve& c, std::span<const double> strains, std::span<curve_sample> out);

// The strains a curve listing shows by default: 1e-4 % to 10 % with four
// points a decade, both ends included (21 strains, as ratios).
std::vector<double> default_strains();

}  // namespace sitewave::soil
