// Reading a curve at a strain: the backbone and its Masing damping in closed
// form, or tabulated points read linearly against log strain; and the
// refusals of tables that cannot describe a soil.
#include "core/soil/curve.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "core/soil/masing.hpp"
#include "core/soil/shown.hpp"

namespace sitewave::soil {

namespace {

// How a table's numbers are written in the messages about it.
struct units {
  double scale;         // written value = stored value * scale
  const char* percent;  // " %" when written in percent, "" otherwise
};

constexpr units as_ratio{1.0, ""};
constexpr units as_percent{100.0, " %"};

struct table_rules {
  const char* title;       // "modulus reduction" or "damping"
  const char* value_name;  // "G/Gmax" or "damping ratio"
  bool damping;
  units strain;
  units value;
};

void check_size(std::span<const curve_point> points, const char* title) {
  if (points.empty())
    throw std::invalid_argument(std::string("the ") + title +
                                " table has no points: at least 1 is expected");
  if (points.size() > static_cast<std::size_t>(max_curve_points))
    throw std::invalid_argument(std::string("the ") + title + " table has " +
                                std::to_string(points.size()) + " points: at most " +
                                std::to_string(max_curve_points) + " are kept");
}

void check_table(std::span<const curve_point> points, const table_rules& r) {
  for (std::size_t i = 0; i < points.size(); ++i) {
    const std::string where = std::string(r.title) + " point " + std::to_string(i + 1) + ": ";
    const double s = points[i].strain * r.strain.scale;
    const std::string strain = "strain " + shown(s) + r.strain.percent;
    if (!std::isfinite(s) || !(s > 0.0))
      throw std::invalid_argument(where + strain + " is not a finite number above zero");
    if (i > 0 && !(points[i].strain > points[i - 1].strain))
      throw std::invalid_argument(where + strain + " is not above the strain " +
                                  shown(points[i - 1].strain * r.strain.scale) + r.strain.percent +
                                  " of point " + std::to_string(i) +
                                  ": strains must increase strictly");
    const double v = points[i].value;
    const std::string value =
        std::string(r.value_name) + " " + shown(v * r.value.scale) + r.value.percent;
    if (r.damping && !(v >= 0.0 && v < 0.5))
      throw std::invalid_argument(where + value + " is outside [0, " + shown(0.5 * r.value.scale) +
                                  ")" + r.value.percent);
    if (!r.damping && !(v > 0.0 && v <= 1.0))
      throw std::invalid_argument(where + value + " is outside (0, 1]");
  }
}

}  // namespace

curve curve::hyperbolic(const hyperbolic_law& law) {
  const struct {
    const char* title;
    double value;
    bool sound;
    const char* range;
  } terms[] = {
      {"reference strain", law.reference_strain, law.reference_strain > 0.0, "above 0"},
      {"curvature", law.curvature, law.curvature > 0.0, "above 0"},
      {"minimum damping ratio", law.minimum_damping,
       law.minimum_damping >= 0.0 && law.minimum_damping < 0.5, "in [0, 0.5)"},
      {"Masing scaling", law.masing_scaling, law.masing_scaling >= 0.0, "of at least 0"},
  };
  for (const auto& t : terms)
    if (!t.sound || !std::isfinite(t.value))
      throw std::invalid_argument(std::string("a hyperbolic curve needs a finite ") + t.title +
                                  " " + t.range + ", not " + shown(t.value));
  return curve(law);
}

curve curve::tabulated(std::span<const curve_point> modulus, std::span<const curve_point> damping) {
  return from_points(modulus, damping, 1.0);
}

curve curve::tabulated_percent(std::span<const curve_point> modulus,
                               std::span<const curve_point> damping_percent) {
  return from_points(modulus, damping_percent, 100.0);
}

curve curve::from_points(std::span<const curve_point> modulus, std::span<const curve_point> damping,
                         double percent_scale) {
  const units& strain = percent_scale == 1.0 ? as_ratio : as_percent;
  const units& damping_value = strain;
  check_size(modulus, "modulus reduction");
  check_size(damping, "damping");
  tables t;
  const auto fill = [&strain](std::span<const curve_point> from, table& to, double value_scale) {
    for (std::size_t i = 0; i < from.size(); ++i)
      to.points[i] = {from[i].strain / strain.scale, from[i].value / value_scale};
    to.size = static_cast<int>(from.size());
  };
  fill(modulus, t.modulus, 1.0);
  fill(damping, t.damping, damping_value.scale);
  // The checks read the stored ratios and write them back in the caller's units.
  check_table({t.modulus.points.data(), modulus.size()},
              {"modulus reduction", "G/Gmax", false, strain, as_ratio});
  check_table(
      {t.damping.points.data(), damping.size()},
      {"damping", percent_scale == 1.0 ? "damping ratio" : "damping", true, strain, damping_value});
  return curve(t);
}

double curve::read(const table& t, double strain) {
  if (std::isnan(strain)) return strain;
  const curve_point* first = t.points.data();
  const curve_point* last = first + t.size;
  if (strain <= first->strain) return first->value;
  if (strain >= last[-1].strain) return last[-1].value;
  const curve_point* above = std::upper_bound(
      first, last, strain, [](double s, const curve_point& p) { return s < p.strain; });
  const curve_point& a = above[-1];
  const curve_point& b = *above;
  // The ratio form keeps a tabulated strain exact: log(1) is 0.
  const double t_log = std::log(strain / a.strain) / std::log(b.strain / a.strain);
  return a.value + t_log * (b.value - a.value);
}

double curve::modulus_ratio(double strain) const {
  if (const auto* law = std::get_if<hyperbolic_law>(&law_)) {
    if (std::isnan(strain)) return strain;
    if (strain <= 0.0) return 1.0;
    return 1.0 / (1.0 + std::pow(strain / law->reference_strain, law->curvature));
  }
  return read(std::get<tables>(law_).modulus, strain);
}

double curve::damping_ratio(double strain) const {
  if (const auto* law = std::get_if<hyperbolic_law>(&law_)) {
    if (std::isnan(strain)) return strain;
    if (strain <= 0.0) return law->minimum_damping;
    const double x = strain / law->reference_strain;
    const double g = 1.0 / (1.0 + std::pow(x, law->curvature));
    const double masing = ratio_from_percent(masing_damping_percent(x, law->curvature));
    return law->masing_scaling * std::pow(g, 0.1) * masing + law->minimum_damping;
  }
  return read(std::get<tables>(law_).damping, strain);
}

void sample_curve(const curve& c, std::span<const double> strains, std::span<curve_sample> out) {
  if (out.size() != strains.size())
    throw std::invalid_argument(std::to_string(strains.size()) + " strains but room for " +
                                std::to_string(out.size()) + " samples");
  for (std::size_t i = 0; i < strains.size(); ++i)
    out[i] = {strains[i], c.modulus_ratio(strains[i]), c.damping_ratio(strains[i])};
}

std::vector<double> default_strains() {
  // 10^(k/4) for k = -24 .. -4: the exponents are exact quarters, so the
  // decade points come out as the nearest doubles to 1e-6 ... 1e-1.
  std::vector<double> strains;
  for (int k = -24; k <= -4; ++k) strains.push_back(std::pow(10.0, k / 4.0));
  return strains;
}

}  // namespace sitewave::soil
