// Properties of the strain-compatible loop that need no reference data:
// curves that never change give the linear result at once, a weak record
// stays linear and scales, a rerun from a converged profile is converged at
// once, the thread count changes nothing, and what cannot run is refused.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <vector>

#include "core/eql/equivalent_linear.hpp"
#include "core/response/synthetic_record.hpp"
#include "eql_cases.hpp"

namespace sitewave::eql {
namespace {

using testing::expect_same_rows;
using testing::three_soils;

const std::vector<double> quake = response::testing::broadband_record(3000, 0.01, 7);

record_input record_of(const std::vector<double>& a, double theta = 0.4) {
  return {.acceleration = a,
          .dt = 0.01,
          .transform_size = 4096,
          .kind = exact::input_kind::outcrop,
          .theta = theta};
}

std::vector<double> scaled(const std::vector<double>& a, double factor) {
  std::vector<double> out(a);
  for (double& v : out) v *= factor;
  return out;
}

void expect_same_results(const layer_profile& a, const layer_profile& b) {
  ASSERT_EQ(a.layers.size(), b.layers.size());
  for (std::size_t j = 0; j < a.layers.size(); ++j) {
    const layer_result &x = a.layers[j], &y = b.layers[j];
    EXPECT_EQ(x.modulus_ratio, y.modulus_ratio) << "row " << j + 1;
    EXPECT_EQ(x.damping, y.damping) << "row " << j + 1;
    EXPECT_EQ(x.max_strain, y.max_strain) << "row " << j + 1;
    EXPECT_EQ(x.max_stress, y.max_stress) << "row " << j + 1;
    EXPECT_EQ(x.pga, y.pga) << "row " << j + 1;
  }
  expect_same_rows(a.rows, b.rows);
}

TEST(EqlInvariants, ConstantCurvesGiveTheLinearResultInOneIteration) {
  std::vector<soil_layer> layers = three_soils();
  for (soil_layer& l : layers) {
    if (!l.modulus_ratio) continue;
    const double d = l.damping;
    l.modulus_ratio = [](double) { return 1.0; };
    l.damping_ratio = [d](double) { return d; };
  }
  const eql_result r = equivalent_linear(layers, record_of(quake));
  EXPECT_EQ(r.outcome, eql_outcome::converged);
  EXPECT_EQ(r.iterations, 1);
  ASSERT_EQ(r.history.size(), 1u);
  EXPECT_EQ(r.history[0].modulus_change, 0.0);
  EXPECT_EQ(r.history[0].damping_change, 0.0);
  const layer_profile linear = linear_response(layers, record_of(quake));
  expect_same_results(r.profile, linear);
  for (std::size_t j = 0; j < layers.size(); ++j) {
    EXPECT_EQ(r.profile.rows[j].vs, layers[j].vs);
    EXPECT_EQ(r.profile.rows[j].vp, layers[j].vp);
    EXPECT_EQ(r.profile.rows[j].qs, 0.5 / layers[j].damping);
    EXPECT_GT(r.profile.layers[j].max_strain, 0.0);
    EXPECT_GT(r.profile.layers[j].pga, 0.0);
  }
}

// At 1/1000 of the record the soils hardly strain: the properties stay at
// their small-strain values, and the results and motions are the linear ones
// scaled by 1/1000.
TEST(EqlInvariants, WeakRecordStaysLinearAndScales) {
  const std::vector<soil_layer> layers = three_soils();
  const std::vector<double> weak = scaled(quake, 1e-3);
  const eql_result r = equivalent_linear(layers, record_of(weak));
  EXPECT_EQ(r.outcome, eql_outcome::converged);
  const layer_profile linear = linear_response(layers, record_of(quake));
  for (std::size_t j = 0; j < layers.size(); ++j) {
    const layer_result &x = r.profile.layers[j], &y = linear.layers[j];
    EXPECT_GE(x.modulus_ratio, 0.999) << "row " << j + 1;
    EXPECT_NEAR(x.max_strain, 1e-3 * y.max_strain, 2e-3 * 1e-3 * y.max_strain) << "row " << j + 1;
    EXPECT_NEAR(x.max_stress, 1e-3 * y.max_stress, 2e-3 * 1e-3 * y.max_stress) << "row " << j + 1;
    EXPECT_NEAR(x.pga, 1e-3 * y.pga, 2e-3 * 1e-3 * y.pga) << "row " << j + 1;
  }
  const std::vector<double> depths{0.0, 7.5, 30.0};
  const std::vector<depth_motion> m = motions_at(r.profile.rows, record_of(weak), depths);
  const std::vector<depth_motion> l = motions_at(linear.rows, record_of(quake), depths);
  for (std::size_t i = 0; i < depths.size(); ++i) {
    double peak = 0.0, error = 0.0;
    for (std::size_t t = 0; t < l[i].within.size(); ++t) {
      peak = std::max(peak, std::abs(l[i].within[t]));
      error = std::max({error, std::abs(m[i].within[t] - 1e-3 * l[i].within[t]),
                        std::abs(m[i].outcrop[t] - 1e-3 * l[i].outcrop[t])});
    }
    EXPECT_LT(error, 2e-3 * 1e-3 * peak) << depths[i] << " m";
  }
}

// The half-space alone: a free surface of it shows the outcrop record itself,
// at any angle (a zero-mean harmonic, so dropping the mean changes nothing;
// 37 lines in 512 samples reach the crest exactly).
TEST(EqlInvariants, HalfSpaceAloneShowsTheOutcropRecord) {
  const std::vector<soil_layer> alone{three_soils().back()};
  const std::vector<double> a = testing::harmonic(512, 37, 1.5);
  const record_input r{.acceleration = a, .dt = 0.01, .transform_size = 512, .theta = 0.7};
  const eql_result e = equivalent_linear(alone, r);
  EXPECT_EQ(e.iterations, 1);
  EXPECT_NEAR(e.profile.layers[0].pga, 1.5, 1e-12);
  const std::vector<depth_motion> m = motions_at(e.profile.rows, r, std::vector<double>{0.0});
  for (std::size_t t = 0; t < a.size(); ++t) {
    EXPECT_NEAR(m[0].within[t], a[t], 1e-12) << t;
    EXPECT_NEAR(m[0].outcrop[t], a[t], 1e-12) << t;
  }
}

TEST(EqlInvariants, RerunFromConvergedProfileTakesOneIteration) {
  const std::vector<soil_layer> layers = three_soils();
  const eql_result first = equivalent_linear(layers, record_of(quake));
  ASSERT_EQ(first.outcome, eql_outcome::converged);
  EXPECT_GT(first.iterations, 2);
  const std::vector<layer_properties> start = properties_of(first.profile);
  const eql_result again = equivalent_linear(layers, record_of(quake), {}, start);
  EXPECT_EQ(again.outcome, eql_outcome::converged);
  EXPECT_EQ(again.iterations, 1);
  expect_same_results(again.profile, first.profile);
}

// One analysis allowed: the loop ends unconverged with the small-strain
// analysis, which is the linear response.
TEST(EqlInvariants, IterationLimitIsAnOutcome) {
  const std::vector<soil_layer> layers = three_soils();
  const eql_result r = equivalent_linear(layers, record_of(quake), {.max_iterations = 1});
  EXPECT_EQ(r.outcome, eql_outcome::iteration_limit);
  EXPECT_EQ(r.iterations, 1);
  ASSERT_EQ(r.history.size(), 1u);
  EXPECT_GT(r.history[0].modulus_change, 0.01);
  expect_same_results(r.profile, linear_response(layers, record_of(quake)));
}

TEST(EqlInvariants, ThreadsChangeNothingAndAStopIsAnOutcome) {
  const std::vector<soil_layer> layers = three_soils();
  const eql_result one = equivalent_linear(layers, record_of(quake), {}, {}, {.threads = 1});
  const eql_result two = equivalent_linear(layers, record_of(quake), {}, {}, {.threads = 2});
  EXPECT_EQ(one.iterations, two.iterations);
  expect_same_results(one.profile, two.profile);
  const std::atomic<bool> stop{true};
  const eql_result stopped = equivalent_linear(layers, record_of(quake), {}, {}, {.stop = &stop});
  EXPECT_EQ(stopped.outcome, eql_outcome::stopped);
  EXPECT_TRUE(stopped.profile.layers.empty());
}

TEST(EqlInvariants, RefusesWhatCannotRun) {
  struct refusal {
    void (*spoil)(std::vector<soil_layer>&, record_input&, eql_settings&);
    const char* named;
  };
  const refusal cases[] = {
      {[](auto& l, auto&, auto&) { l[1].vp = l[1].vs; }, "layer row 2, Vp"},
      {[](auto& l, auto&, auto&) { l[0].thickness = -1.0; }, "layer row 1, thickness"},
      {[](auto& l, auto&, auto&) { l[2].damping_ratio = nullptr; }, "layer 3, curves"},
      {[](auto& l, auto&, auto&) { l[0].modulus_ratio = [](double) { return -0.5; }; },
       "layer 1, curves at strain"},
      {[](auto&, auto& r, auto&) { r.transform_size = 3000; }, "transform size 3000"},
      {[](auto&, auto& r, auto&) { r.transform_size = 2048; }, "transform size 2048"},
      {[](auto&, auto& r, auto&) { r.dt = 0.0; }, "time step"},
      {[](auto&, auto& r, auto&) { r.theta = 1.6; }, "incidence angle"},
      {[](auto&, auto&, auto& s) { s.max_iterations = 0; }, "maximum iterations"},
      {[](auto&, auto&, auto& s) { s.tolerance = 0.0; }, "tolerance"},
  };
  for (const refusal& c : cases) {
    std::vector<soil_layer> layers = three_soils();
    record_input record = record_of(quake);
    eql_settings settings;
    c.spoil(layers, record, settings);
    try {
      equivalent_linear(layers, record, settings);
      ADD_FAILURE() << "not refused: " << c.named;
    } catch (const std::invalid_argument& e) {
      EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace sitewave::eql

namespace sitewave::eql {
namespace {

// Two components through one shared pass give what each gives alone, with
// damping that grows with frequency too; without strains only the peak
// accelerations are made.
TEST(EqlInvariants, ASharedLinearPassGivesEachComponentsOwnResponse) {
  std::vector<exact::layer_row> rows{{1.8, 500, 20, 0.3, 200, 10, 0.3, 8},
                                     {2.0, 900, 30, 0.0, 400, 25, 0.0, 20},
                                     {2.4, 3000, 80, 0.0, 1500, 60, 0.0, 0}};
  const std::vector<double> second = response::testing::broadband_record(3000, 0.01, 11);
  const std::vector<record_input> both{record_of(quake), record_of(second)};
  const std::vector<layer_profile> shared = linear_responses_through(rows, both, {}, true);
  ASSERT_EQ(shared.size(), 2u);
  for (std::size_t c = 0; c < 2; ++c) {
    const layer_profile alone = linear_response_through(rows, both[c]);
    for (std::size_t j = 0; j < rows.size(); ++j) {
      const layer_result &x = shared[c].layers[j], &y = alone.layers[j];
      EXPECT_NEAR(x.pga, y.pga, 1e-12 * y.pga) << c << " row " << j;
      EXPECT_NEAR(x.max_strain, y.max_strain, 1e-12 * y.max_strain) << c << " row " << j;
      EXPECT_NEAR(x.max_stress, y.max_stress, 1e-12 * y.max_stress) << c << " row " << j;
      EXPECT_EQ(x.damping, y.damping);
    }
  }
  const std::vector<layer_profile> plain = linear_responses_through(rows, both, {}, false);
  EXPECT_EQ(plain[1].layers[0].pga, shared[1].layers[0].pga);
  EXPECT_EQ(plain[1].layers[0].max_strain, 0.0);
}

}  // namespace
}  // namespace sitewave::eql
