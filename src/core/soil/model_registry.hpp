// The built-in soil models by name, as a ground model file or a command line
// names them: each model's parameters with their meaning, default and valid
// range, and the one call that makes a curve from a name and the values given.
//
//   darendeli               PI, OCR = 1, sigma_m (atm), frequency = 1 Hz, N = 10
//   menq                    Cu, D50 (mm), sigma_m (atm), N = 10
//   vucetic-dobry           PI (0 to 200, linear in PI between 0/15/30/50/100/200)
//   seed-idriss-sand-upper  upper modulus bound with the lower damping bound
//   seed-idriss-sand-mean   mean modulus with mean damping
//   seed-idriss-sand-lower  lower modulus bound with the upper damping bound
//   idriss-clay             (no parameters)
//   epri-sand               depth (m) of the layer's middle
//
// A front end reads `name key=value ...`, passes the pairs as given, and
// reports what make_curve throws next to the file and line it read. For the
// layers of a profile, make_layer_curve fills in what the layer knows.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/soil/curve.hpp"
#include "core/soil/profile_facts.hpp"

namespace sitewave::soil {

// 1 atm in kPa, for turning a mean effective stress into sigma_m.
inline constexpr double kpa_per_atm = 101.325;

struct parameter_spec {
  std::string_view name;           // as written: "PI", "OCR", "sigma_m", ...
  std::string_view meaning;        // with its unit: "plasticity index, %"
  std::optional<double> fallback;  // the default; none when it must be given
  double low;                      // valid range, its ends included or not
  double high;                     // (may be infinity)
  bool low_included;
  bool high_included;
};

struct model_spec {
  std::string_view name;     // "darendeli", "seed-idriss-sand-mean", ...
  std::string_view summary;  // one line for a listing, naming the source
  std::span<const parameter_spec> parameters;
};

// Every built-in model, in the order of the list above.
std::span<const model_spec> soil_models();

// The model of that name (names are exact, lower case), or nullptr.
const model_spec* find_soil_model(std::string_view name);

// Whether v lies in the parameter's range.
bool accepts(const parameter_spec& p, double v);

// The range as a listing shows it: "[0, 200]", "(0, 100]", "at least 0".
std::string range_text(const parameter_spec& p);

struct parameter_value {
  std::string_view name;
  double value;
};

// The curve of model `name` with the values given, defaults for the rest.
// Throws std::invalid_argument with a message naming what is wrong: an
// unknown model (listing the known ones), a parameter the model does not
// have (listing its parameters), one given twice, one missing, a value that
// is not a finite number, or a value outside its range, e.g.
// "darendeli parameter OCR = 0.5: expected [1, 100] (overconsolidation ratio)".
curve make_curve(std::string_view name, std::span<const parameter_value> values);

// The same for a layer of a profile (layer_stresses gives `at`): a model's
// sigma_m, when not given, is the layer's mean effective stress in atm
// (at.mean / kpa_per_atm) and its depth the depth of the layer's middle. The
// refusals are make_curve's; a value filled in is named like a given one.
curve make_layer_curve(std::string_view name, std::span<const parameter_value> values,
                       const layer_stress& at);

}  // namespace sitewave::soil
