// intensity.csv of a sine burst, a = A sin(w t) over whole cycles and then
// at rest, against closed forms: PGV 2A/w, PGD A T/w (the displacement at
// the burst's end), Arias pi/(2g) A^2 T/2, CAV 4 N A/w, significant
// durations from the Husid curve t/T - sin(2wt)/(2wT). Over the half-space
// the surface motion is twice the incident one.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "cli/batch/batch_files.hpp"

namespace sitewave::testing {
namespace {

constexpr double pi = std::numbers::pi, g = 9.80665;
constexpr double amplitude = 100.0, frequency = 2.0, cycles = 4.0, dt = 0.005;  // cm/s2, Hz, s
constexpr double w = 2.0 * pi * frequency, burst = cycles / frequency;

std::string burst_record() {
  std::vector<row> rows;
  for (int i = 0; i < 512; ++i) {
    const double t = i * dt, a = t <= burst ? amplitude * std::sin(w * t) : 0.0;
    rows.push_back({t, a, 0.5 * a, 0.25 * a});
  }
  return record_of(rows);
}

// The time where the Husid curve of the burst reaches p.
double husid_time(double p) {
  double t = p * burst;
  for (int k = 0; k < 60; ++k) t = burst * (p + std::sin(2.0 * w * t) / (2.0 * w * burst));
  return t;
}

class RunIntensity : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("burst.csv", burst_record());
    dir.write("rock.csv", half_space_soil(1));
  }
  std::map<std::string, summary_row> run(const std::string& units) {
    const run_result r = run_command(dir, {"run", "--record", "burst.csv", "--soil", "rock.csv",
                                           "--units", units, "--out", "out", "--force"});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    std::map<std::string, summary_row> by_component;
    for (const summary_row& row : table_rows(dir.read("out/intensity.csv")))
      by_component[row.at("component")] = row;
    return by_component;
  }
  scratch_dir dir;
};

TEST_F(RunIntensity, SineBurstMatchesClosedFormsInSiUnits) {
  const auto rows = run("cm/s2");
  EXPECT_EQ(lines_of(dir.read("out/intensity.csv")).front(),
            "component,pga,pgv,pgd,arias_m_s,d5_95_s,d5_75_s,cav_m_s");
  const double a = amplitude / 100.0;  // m/s2
  struct expected {
    const char* column;
    double value;
    double surface_factor;  // the surface's value over the input's
  };
  const expected table[] = {
      {"pga", a, 2.0},
      {"pgv", 2.0 * a / w, 2.0},
      {"pgd", a * burst / w, 2.0},
      {"arias_m_s", pi / (2.0 * g) * a * a * burst / 2.0, 4.0},
      {"cav_m_s", 4.0 * cycles * a / w, 2.0},
      {"d5_95_s", husid_time(0.95) - husid_time(0.05), 1.0},
      {"d5_75_s", husid_time(0.75) - husid_time(0.05), 1.0},
  };
  const double scale[] = {1.0, 0.5, 0.25};  // H1, H2, V1
  const char* names[] = {"H1", "H2", "V1"};
  for (int c = 0; c < 3; ++c) {
    for (const expected& e : table) {
      const bool duration = e.surface_factor == 1.0;
      const double power = std::string(e.column) == "arias_m_s" ? 2.0 : duration ? 0.0 : 1.0;
      const double in = e.value * std::pow(scale[c], power);
      const double tolerance = duration ? dt : 1e-3 * in;
      EXPECT_NEAR(std::stod(rows.at(std::string("in_") + names[c]).at(e.column)), in, tolerance)
          << names[c] << " " << e.column;
      if (c == 2) continue;  // the half-space's vertical amplification differs
      EXPECT_NEAR(std::stod(rows.at(std::string("out_") + names[c]).at(e.column)),
                  e.surface_factor * in, e.surface_factor * tolerance)
          << names[c] << " " << e.column;
    }
  }
  EXPECT_NE(dir.read("out/run.json").find("\"arias_m_s\": \"m/s\""), std::string::npos);
}

TEST_F(RunIntensity, UnknownUnitKeepsRecordUnitsAndLeavesAriasEmpty) {
  const auto rows = run("furlong/s2");
  EXPECT_NEAR(std::stod(rows.at("in_H1").at("pga")), amplitude, 1e-4);
  EXPECT_NEAR(std::stod(rows.at("in_H1").at("pgv")), 2.0 * amplitude / w, 1e-3 * amplitude / w);
  EXPECT_EQ(rows.at("in_H1").at("arias_m_s"), "");
  EXPECT_EQ(rows.at("out_H2").at("arias_m_s"), "");
  const std::string json = dir.read("out/run.json");
  EXPECT_NE(json.find("\"arias_m_s\": null"), std::string::npos) << json;
  EXPECT_NE(json.find("\"pgv\": \"furlong/s2*s\""), std::string::npos) << json;
  // Left out when --outputs does not name it.
  ASSERT_EQ(run_command(dir, {"run", "--record", "burst.csv", "--soil", "rock.csv", "--outputs",
                              "response", "--out", "only", "--force"})
                .exit_code,
            0);
  EXPECT_FALSE(dir.exists("only/intensity.csv"));
}

}  // namespace
}  // namespace sitewave::testing
