// The table of built-in models: names, parameters, defaults and ranges, and
// the checks that stand between the values a user wrote and a model that
// would compute nonsense from them.
#include "core/soil/model_registry.hpp"

#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <stdexcept>
#include <vector>

#include "core/soil/models.hpp"
#include "core/soil/shown.hpp"

namespace sitewave::soil {

namespace {

constexpr double unbounded = std::numeric_limits<double>::infinity();

// The ranges keep each formula defined and its output a soil's: stresses
// above zero for the powers, OCR and Cu at least 1 by their definitions, a
// frequency high enough for 1 + 0.2919 ln f to stay positive, at least one
// loading cycle; the upper ends are generous bounds of practice.
constexpr parameter_spec plasticity = {"PI", "plasticity index, %", std::nullopt, 0.0, 200.0, true,
                                       true};
constexpr parameter_spec mean_stress = {
    "sigma_m", "mean effective stress, atm", std::nullopt, 0.001, 100.0, true, true};
constexpr parameter_spec cycles = {"N", "number of loading cycles", 10.0, 1.0, 1000.0, true, true};

constexpr std::array<parameter_spec, 5> darendeli_parameters = {{
    plasticity,
    {"OCR", "overconsolidation ratio", 1.0, 1.0, 100.0, true, true},
    mean_stress,
    {"frequency", "loading frequency, Hz", 1.0, 0.1, 100.0, true, true},
    cycles,
}};

constexpr std::array<parameter_spec, 4> menq_parameters = {{
    {"Cu", "coefficient of uniformity", std::nullopt, 1.0, 1000.0, true, true},
    {"D50", "mean grain size D50, mm", std::nullopt, 0.01, 100.0, true, true},
    mean_stress,
    cycles,
}};

constexpr std::array<parameter_spec, 1> vucetic_dobry_parameters = {{plasticity}};

constexpr std::array<parameter_spec, 1> epri_parameters = {{
    {"depth", "depth of the layer's middle, m", std::nullopt, 0.0, unbounded, true, false},
}};

constexpr std::array<model_spec, 8> specs = {{
    {"darendeli", "Darendeli (2001) soils by PI, OCR, mean stress, frequency and cycles",
     darendeli_parameters},
    {"menq", "Menq (2003) gravels by Cu, D50, mean stress and cycles", menq_parameters},
    {"vucetic-dobry", "Vucetic and Dobry (1991) by PI, linear in PI between published curves",
     vucetic_dobry_parameters},
    {"seed-idriss-sand-upper", "Seed and Idriss (1970) sand, upper modulus, lower damping", {}},
    {"seed-idriss-sand-mean", "Seed and Idriss (1970) sand, mean modulus and damping", {}},
    {"seed-idriss-sand-lower", "Seed and Idriss (1970) sand, lower modulus, upper damping", {}},
    {"idriss-clay", "Idriss (1990) clay", {}},
    {"epri-sand", "EPRI (1993) sand by the depth range of the layer's middle", epri_parameters},
}};

constexpr std::size_t most_parameters = 5;
using chosen_values = std::array<double, most_parameters>;

// The builders in the order of specs.
constexpr std::array<curve (*)(const chosen_values&), specs.size()> builders = {{
    [](const chosen_values& p) { return darendeli(p[0], p[1], p[2], p[3], p[4]); },
    [](const chosen_values& p) { return menq(p[0], p[1], p[2], p[3]); },
    [](const chosen_values& p) { return vucetic_dobry(p[0]); },
    [](const chosen_values&) { return seed_idriss_sand(sand_bound::upper); },
    [](const chosen_values&) { return seed_idriss_sand(sand_bound::mean); },
    [](const chosen_values&) { return seed_idriss_sand(sand_bound::lower); },
    [](const chosen_values&) { return idriss_clay(); },
    [](const chosen_values& p) { return epri_sand(p[0]); },
}};

std::string parameter_names(const model_spec& m) {
  if (m.parameters.empty()) return "it has none";
  std::string names = "its parameters are";
  for (std::size_t i = 0; i < m.parameters.size(); ++i)
    names += (i == 0 ? " " : ", ") + std::string(m.parameters[i].name);
  return names;
}

std::string model_names() {
  std::string names;
  for (const model_spec& m : specs) names += (names.empty() ? "" : ", ") + std::string(m.name);
  return names;
}

std::string with_values(const model_spec& m, const chosen_values& chosen) {
  std::string text(m.name);
  for (std::size_t i = 0; i < m.parameters.size(); ++i)
    text += (i == 0 ? " (" : ", ") + std::string(m.parameters[i].name) + " = " + shown(chosen[i]);
  return m.parameters.empty() ? text : text + ")";
}

// The hyperbolic models have no bound on their damping of their own: a very
// plastic soil under almost no stress, loaded fast, would get more than half
// of critical damping. Their damping is largest at small strain or on the
// way up the Masing branch, so strains from 1e-6 to 1 show the peak.
void refuse_excess_damping(const curve& c, const model_spec& m, const chosen_values& chosen) {
  for (int k = -24; k <= 0; ++k) {
    const double strain = std::pow(10.0, k / 4.0);
    const double d = c.damping_ratio(strain);
    if (!(d < 0.5))
      throw std::invalid_argument(with_values(m, chosen) + " gives a damping ratio of " + shown(d) +
                                  " at strain " + shown(strain) +
                                  ", where a soil's stays below 0.5");
  }
}

}  // namespace

std::span<const model_spec> soil_models() {
  return specs;
}

const model_spec* find_soil_model(std::string_view name) {
  for (const model_spec& m : specs)
    if (m.name == name) return &m;
  return nullptr;
}

bool accepts(const parameter_spec& p, double v) {
  const bool above = p.low_included ? v >= p.low : v > p.low;
  const bool below = p.high_included ? v <= p.high : v < p.high;
  return above && below;
}

std::string range_text(const parameter_spec& p) {
  const std::string low = shown(p.low);
  if (std::isinf(p.high)) return std::string(p.low_included ? "at least " : "above ").append(low);
  const std::string high = shown(p.high);
  return std::string(p.low_included ? "[" : "(")
      .append(low)
      .append(", ")
      .append(high)
      .append(p.high_included ? "]" : ")");
}

curve make_curve(std::string_view name, std::span<const parameter_value> values) {
  const model_spec* m = find_soil_model(name);
  if (m == nullptr)
    throw std::invalid_argument("unknown soil model '" + std::string(name) + "'; the models are " +
                                model_names());
  const std::string model(m->name);
  chosen_values chosen{};
  std::array<bool, most_parameters> given{};
  for (const parameter_value& v : values) {
    std::size_t j = 0;
    while (j < m->parameters.size() && m->parameters[j].name != v.name) ++j;
    if (j == m->parameters.size())
      throw std::invalid_argument("soil model " + model + " has no parameter '" +
                                  std::string(v.name) + "'; " + parameter_names(*m));
    const parameter_spec& p = m->parameters[j];
    const std::string what = model + " parameter " + std::string(p.name) + " = " + shown(v.value);
    if (given[j])
      throw std::invalid_argument(model + " parameter " + std::string(p.name) + " is given twice");
    if (!std::isfinite(v.value)) throw std::invalid_argument(what + " is not a finite number");
    if (!accepts(p, v.value))
      throw std::invalid_argument(what + ": expected " + range_text(p) + " (" +
                                  std::string(p.meaning) + ")");
    chosen[j] = v.value;
    given[j] = true;
  }
  for (std::size_t j = 0; j < m->parameters.size(); ++j) {
    if (given[j]) continue;
    const parameter_spec& p = m->parameters[j];
    if (!p.fallback)
      throw std::invalid_argument("soil model " + model + " needs parameter " +
                                  std::string(p.name) + " (" + std::string(p.meaning) + ")");
    chosen[j] = *p.fallback;
  }
  const auto build = builders[static_cast<std::size_t>(m - specs.data())];
  const curve c = [&] {
    try {
      return build(chosen);
    } catch (const std::invalid_argument& e) {
      throw std::invalid_argument(with_values(*m, chosen) + ": " + e.what());
    }
  }();
  refuse_excess_damping(c, *m, chosen);
  return c;
}

curve make_layer_curve(std::string_view name, std::span<const parameter_value> values,
                       const layer_stress& at) {
  std::vector<parameter_value> all(values.begin(), values.end());
  if (const model_spec* m = find_soil_model(name)) {
    const auto given = [&values](std::string_view key) {
      for (const parameter_value& v : values)
        if (v.name == key) return true;
      return false;
    };
    for (const parameter_spec& p : m->parameters) {
      if (p.name == "sigma_m" && !given(p.name)) all.push_back({p.name, at.mean / kpa_per_atm});
      if (p.name == "depth" && !given(p.name)) all.push_back({p.name, at.depth});
    }
  }
  return make_curve(name, all);
}

}  // namespace sitewave::soil
