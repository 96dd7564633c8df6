// intensity.csv of a sine burst, a = A sin(w t) over N whole cycles, then at
// rest, against closed forms: PGV 2A/w, PGD A T/w, Arias pi/(2g) A^2 T/2, CAV
// 4 N A/w, durations from the Husid curve t/T - sin(2wt)/(2wT). Over the
// half-space the surface's horizontals are twice the incident motion.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "cli/batch/batch_files.hpp"

namespace sitewave::testing {
namespace {

constexpr double pi = std::numbers::pi, g = 9.80665, dt = 0.005;
constexpr double amplitude = 100.0, w = 2.0 * pi * 2.0, burst = 2.0, cycles = 4.0;  // cm/s2

double husid_time(double p) {  // H(t) = p by fixed-point steps
  double t = p * burst;
  for (int k = 0; k < 60; ++k) t = burst * (p + std::sin(2.0 * w * t) / (2.0 * w * burst));
  return t;
}

class RunIntensity : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<row> rows;
    for (int i = 0; i < 512; ++i) {
      const double a = i * dt <= burst ? amplitude * std::sin(w * i * dt) : 0.0;
      rows.push_back({i * dt, a, 0.5 * a, 0.25 * a});
    }
    dir.write("burst.csv", record_of(rows));
    dir.write("rock.csv", half_space_soil(1));
  }
  // intensity.csv by component, and run.json.
  std::map<std::string, summary_row> run(const std::string& units, std::string& json) {
    const run_result r = run_command(dir, {"run", "--record", "burst.csv", "--soil", "rock.csv",
                                           "--units", units, "--out", "out", "--force"});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    std::map<std::string, summary_row> rows;
    for (const summary_row& row : table_rows(dir.read("out/intensity.csv")))
      rows[row.at("component")] = row;
    json = dir.read("out/run.json");
    return rows;
  }
  scratch_dir dir;
};

TEST_F(RunIntensity, SineBurstMatchesClosedFormsInSiUnits) {
  std::string json;
  const auto rows = run("cm/s2", json);
  const double a = amplitude / 100.0;  // m/s2
  struct expected {
    const char* column;
    double value;
    double power;  // of the component's scale (0.5 for H2, 0.25 for V1) and of the surface's 2
  };
  const expected table[] = {
      {"pga", a, 1},
      {"pgv", 2.0 * a / w, 1},
      {"pgd", a * burst / w, 1},
      {"arias_m_s", pi / (2.0 * g) * a * a * burst / 2.0, 2},
      {"cav_m_s", 4.0 * cycles * a / w, 1},
      {"d5_95_s", husid_time(0.95) - husid_time(0.05), 0},
      {"d5_75_s", husid_time(0.75) - husid_time(0.05), 0},
  };
  const std::pair<const char*, double> motions[] = {
      {"in_H1", 1.0}, {"in_H2", 0.5}, {"in_V1", 0.25}, {"out_H1", 2.0}, {"out_H2", 1.0}};
  for (const auto& [motion, scale] : motions) {
    for (const expected& e : table) {
      const double value = e.value * std::pow(scale, e.power);
      const double tolerance = e.power == 0 ? dt : 1e-3 * value;  // 100 samples a cycle
      EXPECT_NEAR(std::stod(rows.at(motion).at(e.column)), value, tolerance)
          << motion << " " << e.column;
    }
  }
  EXPECT_NE(json.find("\"arias_m_s\": \"m/s\""), std::string::npos);
}

TEST_F(RunIntensity, UnknownUnitKeepsRecordUnitsAndLeavesAriasEmpty) {
  std::string json;
  const auto rows = run("furlong/s2", json);
  EXPECT_NEAR(std::stod(rows.at("in_H1").at("pga")), amplitude, 1e-4);
  EXPECT_NEAR(std::stod(rows.at("out_H1").at("pgv")), 4.0 * amplitude / w, 4e-3 * amplitude / w);
  EXPECT_EQ(rows.at("in_H1").at("arias_m_s"), "");
  EXPECT_NE(json.find("\"arias_m_s\": null"), std::string::npos) << json;
  EXPECT_NE(json.find("\"pgv\": \"furlong/s2*s\""), std::string::npos) << json;
  ASSERT_EQ(run_command(dir, {"run", "--record", "burst.csv", "--soil", "rock.csv", "--outputs",
                              "response", "--out", "only", "--force"})
                .exit_code,
            0);
  EXPECT_FALSE(dir.exists("only/intensity.csv")) << "--outputs leaves it out";
}

}  // namespace
}  // namespace sitewave::testing
