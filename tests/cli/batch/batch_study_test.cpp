// A study as engineers set it up: a grid of records, ground models, angles
// and physics expanded into a manifest, and a summary that carries each
// case's resolved parameters and every component, with a case whose results
// are not numbers marked as such instead of ok.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "cli/batch/batch_files.hpp"

namespace sitewave::testing {
namespace {

// Fifty thick, weakly damped rows at 60 degrees: the legacy recursion overflows.
std::string overflowing_soil() {
  std::string rows;
  for (int l = 1; l <= 50; ++l) {
    rows += std::to_string(l) + ",1.8," + (l < 50 ? "1500" : "2000") + ",5,0," +
            std::to_string(l < 50 ? 210 + 10 * l : 900) + ",5,0," + (l < 50 ? "50" : "0") + "\n";
  }
  return "deep\n60\n1\nlayers\n50\nh\n" + rows;
}

TEST(BatchStudy, AGridExpandsIntoNamedCasesThatRun) {
  const scratch_dir dir;
  write_sound_suite(dir, 1);
  dir.write("deep.csv", overflowing_soil());
  dir.write("grid.csv",
            "record,soil,angle,physics\nwave.csv,soil_dat.csv,0,exact\n,deep.csv,30,legacy\n");
  const run_result expanded = run_command(dir, {"batch", "grid.csv", "--expand"});
  ASSERT_EQ(expanded.exit_code, 0) << expanded.err;
  const auto cases = table_rows(expanded.out);
  ASSERT_EQ(cases.size(), 8u);
  std::set<std::string> names;
  for (const auto& c : cases) names.insert(c.at("case"));
  EXPECT_EQ(names.size(), 8u);
  EXPECT_TRUE(names.contains("deep_30_legacy"));
  EXPECT_EQ(cases[0].at("record"), "wave.csv");

  dir.write("study.csv", expanded.out);
  const run_result r = run_command(dir, {"batch", "study.csv", "--out", "results", "-j", "2"});
  EXPECT_EQ(r.exit_code, 1) << "a case whose results are not numbers is not ok";
  for (const auto& row : table_rows(dir.read("results/summary.csv"))) {
    const std::string& name = row.at("case");
    EXPECT_EQ(row.at("physics"), name.substr(name.rfind('_') + 1)) << name;
    EXPECT_EQ(row.at("angle_deg"), name.find("_30_") != std::string::npos ? "30" : "0");
    EXPECT_EQ(row.at("record"), (dir / "wave.csv").string());
    EXPECT_EQ(row.at("input"), "incident");
    EXPECT_FALSE(row.at("peak_out_V1").empty()) << name;
    const bool overflows = name.starts_with("deep_") && name.ends_with("_legacy");
    EXPECT_EQ(row.at("status"), overflows ? "not-finite" : "ok") << name;
    // Spectra that are not numbers are left empty; a peak says nan.
    EXPECT_EQ(row.at("psa_out_V1_0.1").empty(), overflows) << name;
    EXPECT_EQ(row.at("peak_out_H1") == "nan", overflows) << name;
  }
}

TEST(BatchStudy, AGridThatGivesBadCasesIsRefusedWhole) {
  const scratch_dir dir;
  write_sound_suite(dir, 1);
  dir.write("grid.csv", "record,angle\nwave.csv,10\n,95\n");
  const run_result r = run_command(dir, {"batch", "grid.csv", "--expand"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("(case 95): column angle, value \"95\""), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  dir.write("grid.csv", "record,colour\nwave.csv,red\n");
  EXPECT_NE(run_command(dir, {"batch", "grid.csv", "--expand"}).err.find("column \"colour\""),
            std::string::npos);
}

}  // namespace
}  // namespace sitewave::testing
