// The registry a front end reads: the names it looks models up by, the
// defaults it fills in, and the message for each value it refuses.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/soil/model_registry.hpp"

namespace sitewave::soil {
namespace {

std::string refusal(std::string_view model, std::vector<parameter_value> values) {
  try {
    (void)make_curve(model, values);
  } catch (const std::invalid_argument& e) {
    return e.what();
  }
  return "accepted";
}

TEST(ModelRegistry, EveryModelIsBuiltFromItsNameAndRequiredValues) {
  const char* names[] = {"darendeli",
                         "menq",
                         "vucetic-dobry",
                         "seed-idriss-sand-upper",
                         "seed-idriss-sand-mean",
                         "seed-idriss-sand-lower",
                         "idriss-clay",
                         "epri-sand"};
  ASSERT_EQ(soil_models().size(), std::size(names));
  for (std::size_t i = 0; i < std::size(names); ++i) {
    const model_spec& m = soil_models()[i];
    EXPECT_EQ(m.name, names[i]);
    EXPECT_EQ(find_soil_model(names[i]), &m);
    // The required parameters at 0, or 1 where 0 is out of range, build a
    // curve that starts near G/Gmax 1 and falls.
    std::vector<parameter_value> values;
    for (const parameter_spec& p : m.parameters)
      if (!p.fallback) values.push_back({p.name, p.low == 0.0 ? 0.0 : 1.0});
    const curve c = make_curve(m.name, values);
    EXPECT_GT(c.modulus_ratio(1e-6), 0.95) << m.name;
    EXPECT_LT(c.modulus_ratio(1e-2), c.modulus_ratio(1e-4)) << m.name;
  }
  EXPECT_EQ(find_soil_model("Darendeli"), nullptr);
}

TEST(ModelRegistry, DefaultsAreThoseOfTheModel) {
  const curve implicit =
      make_curve("darendeli", std::vector<parameter_value>{{"PI", 20}, {"sigma_m", 2}});
  const curve explicit_values = make_curve(
      "darendeli", std::vector<parameter_value>{
                       {"N", 10}, {"frequency", 1}, {"OCR", 1}, {"sigma_m", 2}, {"PI", 20}});
  for (const double strain : {1e-6, 1e-4, 1e-2})
    EXPECT_EQ(implicit.damping_ratio(strain), explicit_values.damping_ratio(strain));
  const parameter_spec& n = find_soil_model("menq")->parameters[3];
  EXPECT_EQ(n.name, "N");
  EXPECT_EQ(*n.fallback, 10.0);
  EXPECT_EQ(range_text(n), "[1, 1000]");
  EXPECT_EQ(range_text(find_soil_model("epri-sand")->parameters[0]), "at least 0");
}

TEST(ModelRegistry, LayerCurvesTakeStressAndDepthFromTheLayer) {
  // A layer whose middle lies at 7 m under a mean effective stress of 1 atm.
  const layer_stress at = {7.0, 150.0, kpa_per_atm};
  const std::vector<parameter_value> pi = {{"PI", 20}};
  const std::vector<parameter_value> stated = {{"PI", 20}, {"sigma_m", 1.0}};
  const curve filled = make_layer_curve("darendeli", pi, at);
  const curve given = make_curve("darendeli", stated);
  EXPECT_EQ(filled.damping_ratio(1e-4), given.damping_ratio(1e-4));
  // 7 m is in the 20-50 ft range (G/Gmax 0.830 at 0.01 %); a given depth wins.
  EXPECT_EQ(make_layer_curve("epri-sand", {}, at).modulus_ratio(1e-4), 0.830);
  const std::vector<parameter_value> shallow = {{"depth", 2}};
  EXPECT_EQ(make_layer_curve("epri-sand", shallow, at).modulus_ratio(1e-4), 0.759);
  EXPECT_EQ(make_layer_curve("idriss-clay", {}, at).modulus_ratio(1e-4), 0.941);
}

TEST(ModelRegistry, RefusalsNameTheModelTheParameterAndTheRange) {
  const struct {
    std::string_view model;
    std::vector<parameter_value> values;
    const char* message;
  } cases[] = {
      {"darendelli",
       {},
       "unknown soil model 'darendelli'; the models are darendeli, menq, vucetic-dobry, "
       "seed-idriss-sand-upper, seed-idriss-sand-mean, seed-idriss-sand-lower, idriss-clay, "
       "epri-sand"},
      {"menq",
       {{"PI", 10}},
       "soil model menq has no parameter 'PI'; its parameters are Cu, D50, sigma_m, N"},
      {"idriss-clay",
       {{"depth", 3}},
       "soil model idriss-clay has no parameter 'depth'; it has none"},
      {"darendeli",
       {{"PI", 10}, {"PI", 20}, {"sigma_m", 1}},
       "darendeli parameter PI is given twice"},
      {"darendeli",
       {{"PI", 10}},
       "soil model darendeli needs parameter sigma_m (mean effective stress, atm)"},
      {"darendeli",
       {{"PI", 10}, {"sigma_m", 1}, {"OCR", 0.5}},
       "darendeli parameter OCR = 0.5: expected [1, 100] (overconsolidation ratio)"},
      {"vucetic-dobry",
       {{"PI", 250}},
       "vucetic-dobry parameter PI = 250: expected [0, 200] (plasticity index, %)"},
      {"epri-sand",
       {{"depth", -1}},
       "epri-sand parameter depth = -1: expected at least 0 (depth of the layer's middle, m)"},
      {"menq",
       {{"Cu", NAN}, {"D50", 1}, {"sigma_m", 1}},
       "menq parameter Cu = nan is not a finite number"},
      // The minimum damping is (0.8005 + 0.0129 x 200) x 0.001^-0.2889
      // x (1 + 0.2919 ln 100) = 58.30 %; at 0.002 atm and 10 Hz it is
      // 34.04 %, and the Masing damping on top passes 50 % further up.
      {"darendeli",
       {{"PI", 200}, {"sigma_m", 0.001}, {"frequency", 100}},
       "darendeli (PI = 200, OCR = 1, sigma_m = 0.001, frequency = 100, N = 10): a hyperbolic "
       "curve needs a finite minimum damping ratio in [0, 0.5), not 0.583022"},
      {"darendeli",
       {{"PI", 200}, {"sigma_m", 0.002}, {"frequency", 10}},
       "darendeli (PI = 200, OCR = 1, sigma_m = 0.002, frequency = 10, N = 10) gives a damping "
       "ratio of 0.506312 at strain 0.00177828, where a soil's stays below 0.5"},
  };
  for (const auto& k : cases) EXPECT_EQ(refusal(k.model, k.values), k.message);
}

}  // namespace
}  // namespace sitewave::soil
