// What summary.csv carries besides the status: PSA of input and surface at
// the summary periods from each case's response.csv (interpolated on log-log
// axes between the periods a run used), and, when collected from the case
// folders alone, which cases have no results or results of other inputs.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/batch/batch_files.hpp"
#include "cli/batch/summary_spectra.hpp"

namespace sitewave::testing {
namespace {

namespace fs = std::filesystem;
using cli::spectrum_point;

TEST(SummarySpectra, InterpolatesOnLogLogAxesWithinTheGivenPeriodsOnly) {
  // A power law is a straight line on log-log axes: reproduced exactly.
  std::vector<spectrum_point> law;
  for (const double t : {0.05, 0.08, 0.3, 0.9, 3.0}) law.push_back({t, 2.0 * std::pow(t, -0.7)});
  for (const double t : {0.1, 0.2, 0.5, 1.0, 2.0}) {
    EXPECT_NEAR(cli::spectrum_at(law, t), 2.0 * std::pow(t, -0.7), 1e-12) << t;
  }
  EXPECT_DOUBLE_EQ(cli::spectrum_at(law, 0.3), law[2].value);
  EXPECT_TRUE(std::isnan(cli::spectrum_at(law, 0.04)));
  EXPECT_TRUE(std::isnan(cli::spectrum_at(law, 3.5)));
  EXPECT_DOUBLE_EQ(cli::spectrum_at(law, 3.0), law[4].value);
  // A zero has no logarithm: linear in log(period) there instead.
  const std::vector<spectrum_point> zero{{0.1, 0.0}, {1.0, 4.0}};
  EXPECT_NEAR(cli::spectrum_at(zero, std::sqrt(0.1)), 2.0, 1e-12);
  EXPECT_TRUE(std::isnan(cli::spectrum_at({}, 1.0)));
}

// response.csv as a run writes it: damping, period (0 = peak acceleration),
// then input, surface and ratio per component.
std::string response_csv() {
  std::string text =
      "damping,period_s,in_H1,in_H2,in_V1,out_H1,out_H2,out_V1,ratio_H1,ratio_H2,ratio_V1\n";
  for (const double d : {0.02, 0.05}) {
    for (const double t : {0.0, 0.1, 0.15, 0.25, 0.5, 1.0, 1.5}) {
      const double v = t == 0.0 ? 9.0 : (d == 0.05 ? 1.0 : 5.0) / t;
      char row[256];
      std::snprintf(row, sizeof row, "%g,%g,%.17g,%.17g,1,%.17g,%.17g,1,1,1,1\n", d, t, v, 2 * v,
                    3 * v, 4 * v);
      text += row;
    }
  }
  return text;
}

TEST(BatchSummary, CarriesPsaAtFivePercentFromEachCasesResponseFile) {
  const scratch_dir dir;
  write_sound_suite(dir, 2);
  ASSERT_EQ(run_command(dir, {"batch", "suite.csv", "--out", "results"}).exit_code, 0);
  dir.write("results/c1/response.csv", response_csv());
  ASSERT_EQ(
      run_command(dir, {"batch", "suite.csv", "--out", "results", "--summary-only"}).exit_code, 0);
  const auto rows = table_rows(dir.read("results/summary.csv"));
  const summary_row& c1 = rows[0];
  EXPECT_EQ(c1.at("psa_in_H1_0.1"), "10");
  EXPECT_EQ(c1.at("psa_in_H2_0.5"), "4");
  EXPECT_EQ(c1.at("psa_out_H1_1"), "3");
  EXPECT_NEAR(std::stod(c1.at("psa_out_H2_0.2")), 4.0 / 0.2, 1e-6) << "between 0.15 and 0.25 s";
  EXPECT_EQ(c1.at("psa_in_H1_2"), "") << "beyond the periods of the file";
  EXPECT_GT(std::stod(rows[1].at("psa_in_H1_0.1")), 0.0) << "from the run's own response.csv";
  EXPECT_FALSE(rows[1].at("peak_in_H1").empty());
  // The surface horizontals' intensity measures, as the case's intensity.csv gives them.
  std::map<std::string, summary_row> measures;
  for (const summary_row& r : table_rows(dir.read("results/c2/intensity.csv")))
    measures[r.at("component")] = r;
  const std::pair<const char*, const char*> columns[] = {{"pgv", "pgv"},
                                                         {"pgd", "pgd"},
                                                         {"arias", "arias_m_s"},
                                                         {"d5_95", "d5_95_s"},
                                                         {"cav", "cav_m_s"}};
  for (const char* motion : {"out_H1", "out_H2"}) {
    for (const auto& [summary, file] : columns) {
      const std::string cell = rows[1].at(std::string(motion) + "_" + summary);
      const std::string value = measures.at(motion).at(file);
      if (value.empty()) {
        EXPECT_EQ(cell, "") << motion << summary;
      } else {
        EXPECT_NEAR(std::stod(cell), std::stod(value), 1e-8 * std::stod(value))
            << motion << summary;
      }
    }
  }
}

TEST(BatchSummary, CollectedFromFoldersNamesCasesWithoutCurrentResults) {
  const scratch_dir dir;
  write_sound_suite(dir, 3);
  ASSERT_EQ(run_command(dir, {"batch", "suite.csv", "--out", "results"}).exit_code, 0);
  fs::remove_all(dir / "results/c2");
  std::string manifest = dir.read("suite.csv");
  manifest.replace(manifest.find("c3,wave.csv,soil_dat.csv,10"), 27, "c3,wave.csv,soil_dat.csv,11");
  dir.write("suite.csv", manifest);

  const run_result r =
      run_command(dir, {"batch", "suite.csv", "--out", "results", "--summary-only"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.out.find("3 cases: 1 ok, 1 pending, 1 stale"), std::string::npos) << r.out;
  const auto rows = table_rows(dir.read("results/summary.csv"));
  EXPECT_EQ(rows[0].at("status"), "ok");
  EXPECT_EQ(rows[1].at("status"), "pending");
  EXPECT_EQ(rows[2].at("status"), "stale");
  EXPECT_TRUE(rows[2].at("peak_in_H1").empty()) << "values of other inputs are not shown";
  EXPECT_FALSE(dir.exists("results/c2")) << "nothing ran";
}

}  // namespace
}  // namespace sitewave::testing
