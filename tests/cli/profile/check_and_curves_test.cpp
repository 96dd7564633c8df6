// `sitewave check` and `sitewave curves` as a user runs them, against values
// worked out by hand: the summary's stresses, Vs30 and site period, the
// reference strain and minimum damping of Darendeli's closed form, a user
// table read between and beyond its points; and a batch whose manifest
// names a profile.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "support/program_run.hpp"
#include "support/records.hpp"

namespace sitewave::testing {
namespace {

constexpr const char* profile =
    "name,thickness_m,vs_mps,vp_mps,density_t_m3,damping,curve,pi\n"
    "fill,2.5,161.6,400,1.9,0.02,,\n"
    "clay,8,220,1500,1.8,,darendeli,25\n"
    "sand,12,350,1700,2.0,0.01,seed-idriss-sand-mean,\n"
    "rock,,1200,2400,2.3,0.005,,\n";

std::string fixed(double v, int decimals) {
  char text[40];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

TEST(CheckCommand, SummarisesTheProfileWithItsStressesVs30AndPeriod) {
  scratch_dir dir;
  dir.write("profile.csv", profile);
  dir.write("wave.csv", sine_record(256, 0.01f));
  const run_result r = run_command(
      dir, {"check", "--profile", "profile.csv", "--water-table", "2", "--record", "wave.csv"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  // The fill's middle, 1.25 m down and above the water: sigma'v = 1.9 g 1.25,
  // sigma'm = sigma'v (1 + 2 k0) / 3 with k0 = 0.5.
  const double sv = 1.9 * 9.80665 * 1.25;
  EXPECT_NE(r.out.find(fixed(sv, 1) + "      " + fixed(sv * 2.0 / 3.0, 1)), std::string::npos)
      << r.out;
  // The clay's middle at 6.5 m: 2.5 m of fill, 4 m of clay, 4.5 m of it under water.
  const double clay =
      1.9 * 9.80665 * 2.0 + (1.9 * 9.80665 - 9.81) * 0.5 + (1.8 * 9.80665 - 9.81) * 4.0;
  EXPECT_NE(r.out.find(fixed(clay, 1)), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("darendeli PI=25"), std::string::npos);
  const double travel = 2.5 / 161.6 + 8.0 / 220.0 + 12.0 / 350.0;
  EXPECT_NE(r.out.find("Vs30          " + fixed(30.0 / (travel + 7.5 / 1200.0), 1) + " m/s"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("site period   " + fixed(4.0 * travel, 3) + " s"), std::string::npos);
  EXPECT_NE(r.out.find("wave.csv: 256 rows"), std::string::npos);
  EXPECT_EQ(lines_of(r.out).back(), "ok");
}

TEST(CheckCommand, RefusesAsARunDoes) {
  scratch_dir dir;
  dir.write("profile.csv", std::string(profile) + "extra,1,200,400,1.9,0.02,,\n");
  const run_result r = run_command(dir, {"check", "--profile", "profile.csv"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(lines_of(r.err).size(), 1u) << r.err;
  EXPECT_NE(r.err.find("profile.csv: line 5, column thickness_m: value (empty)"), std::string::npos)
      << r.err;
  EXPECT_EQ(run_command(dir, {"check", "--profile", "profile.csv", "--soil", "x.csv"}).exit_code,
            2);
}

TEST(CheckCommand, RefusesTheRunsOptionsWithTheRecordAsTheRunDoes) {
  // Each command line refused by `run` is refused by `check` with the same
  // one-line message and exit status, before anything is printed.
  scratch_dir dir;
  dir.write("profile.csv", profile);
  dir.write("wave.csv", sine_record(256, 0.01f));
  const std::vector<std::string> base = {"--profile", "profile.csv", "--record", "wave.csv"};
  const std::vector<std::vector<std::string>> slips = {
      {"--fft-size", "128"},                          // fewer points than the record's rows
      {"--fft-size", "300"},                          // not a power of two
      {"--analysis", "eql", "--units", "counts"},     // strains need a known unit
      {"--analysis", "eql", "--physics", "legacy"},   // no strains from the legacy tables
      {"--at-depth", "5", "--physics", "legacy"},     // nor motions at depth
      {"--strain-ratio", "0.6", "--magnitude", "7"},  // the ratio given twice
      {"--analysis", "eql", "--units", "g", "--sublayer-frequency", "-1"},
  };
  // The dialogue's format with an angle of 95 degrees in the file.
  std::string soil = three_layer_soil();
  soil.replace(soil.find("30.0,degrees"), 12, "95,degrees");
  dir.write("soil.csv", soil);
  std::vector<std::vector<std::string>> lines;
  for (const auto& slip : slips) {
    lines.push_back(base);
    lines.back().insert(lines.back().end(), slip.begin(), slip.end());
  }
  lines.push_back({"--soil", "soil.csv", "--record", "wave.csv"});
  for (const auto& line : lines) {
    std::vector<std::string> checked = {"check"};
    checked.insert(checked.end(), line.begin(), line.end());
    std::vector<std::string> run = checked;
    run.front() = "run";
    run.insert(run.end(), {"--out", "out", "--force"});
    const run_result by_run = run_command(dir, run);
    const run_result by_check = run_command(dir, checked);
    EXPECT_NE(by_run.exit_code, 0) << line.back();
    EXPECT_EQ(by_check.exit_code, by_run.exit_code) << by_check.err;
    EXPECT_EQ(by_check.err, by_run.err);
    EXPECT_EQ(by_check.out, "");
    EXPECT_EQ(lines_of(by_check.err).size(), 1u) << by_check.err;
  }
}

TEST(CheckCommand, ShowsTheTransformAndTheSublayersOfAnEquivalentLinearRun) {
  // At 20 Hz a fifth of a wavelength is Vs / 100: the fill's 2.5 m at 1.616 m
  // takes 2 sublayers, the clay's 8 m at 2.2 m 4, the sand's 12 m at 3.5 m 4.
  scratch_dir dir;
  dir.write("profile.csv", profile);
  dir.write("wave.csv", sine_record(256, 0.01f));
  const run_result r =
      run_command(dir, {"check", "--profile", "profile.csv", "--record", "wave.csv", "--analysis",
                        "eql", "--units", "m/s2", "--fft-size", "1024"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("equivalent-linear, 10 sublayers over the half-space"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("256 rows, dt 0.0100 s, transform size 1024"), std::string::npos) << r.out;
  const run_result flat = run_command(
      dir, {"check", "--profile", "profile.csv", "--analysis", "eql", "--sublayer-frequency", "0"});
  EXPECT_NE(flat.out.find("equivalent-linear, 3 sublayers"), std::string::npos) << flat.out;
}

std::vector<std::vector<double>> curve_rows(const run_result& r) {
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(lines_of(r.out).front(), "strain_percent,modulus_ratio,damping_percent");
  return numeric_rows(r.out);
}

TEST(CurvesCommand, DarendeliMeetsItsClosedForm) {
  scratch_dir dir;
  // gamma_r = (0.0352 + 0.0010 PI OCR^0.3246) sigma'm^0.3483 % gives G/Gmax = 1/2;
  // D_min = (0.8005 + 0.0129 PI OCR^-0.1069) sigma'm^-0.2889 (1 + 0.2919 ln f) %.
  const double pi = 20.0, stress = 2.0;
  const double reference = (0.0352 + 0.0010 * pi) * std::pow(stress, 0.3483);
  const double least = (0.8005 + 0.0129 * pi) * std::pow(stress, -0.2889);
  const auto rows =
      curve_rows(run_command(dir, {"curves", "darendeli", "--pi", "20", "--stress-atm", "2",
                                   "--strains", fixed(reference, 12) + ",1e-7"}));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_NEAR(rows[0][1], 0.5, 1e-6);
  EXPECT_NEAR(rows[1][1], 1.0, 1e-5);
  EXPECT_NEAR(rows[1][2], least, 1e-4);
}

TEST(CurvesCommand, ListsTheDefaultStrainsAndRefusesWhatAModelDoesNotTake) {
  scratch_dir dir;
  const auto rows = curve_rows(run_command(dir, {"curves", "idriss-clay"}));
  ASSERT_EQ(rows.size(), 21u);
  EXPECT_DOUBLE_EQ(rows.front()[0], 1e-4);
  EXPECT_DOUBLE_EQ(rows.back()[0], 10.0);
  for (std::size_t k = 1; k < rows.size(); ++k) EXPECT_LE(rows[k][1], rows[k - 1][1]);
  const struct {
    std::vector<std::string> args;
    int status;
    const char* says;
  } refused[] = {
      {{"curves", "menq", "--pi", "3"}, 1, "--pi 3: menq does not take it"},
      {{"curves", "darendeli"}, 2, "darendeli needs --pi"},
      {{"curves", "darendeli", "--pi", "20", "--ocr", "0.5"}, 1, "--ocr 0.5: darendeli takes OCR"},
      {{"curves", "sand"}, 2, "unknown soil model sand"},
  };
  for (const auto& c : refused) {
    const run_result r = run_command(dir, c.args);
    EXPECT_EQ(r.exit_code, c.status) << c.says;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
}

TEST(CurvesCommand, AUserTableIsLinearInLogStrainAndHeldAtItsEnds) {
  scratch_dir dir;
  dir.write("curves.csv",
            "curve,strain_percent,modulus_ratio,damping_percent\n"
            "site clay,0.01,0.9,\n"
            "site clay,0.03,,3\n"
            "site clay,0.1,0.5,\n"
            "site clay,0.3,,9\n");
  const auto rows = curve_rows(run_command(
      dir, {"curves", "site clay", "--curves", "curves.csv", "--strains",
            "0.001," + fixed(std::sqrt(0.001), 12) + "," + fixed(std::sqrt(0.009), 12) + ",1"}));
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_NEAR(rows[0][1], 0.9, 1e-12);  // held below the table
  EXPECT_NEAR(rows[0][2], 3.0, 1e-12);
  EXPECT_NEAR(rows[1][1], 0.7, 1e-6);  // halfway in log strain
  EXPECT_NEAR(rows[2][2], 6.0, 1e-6);
  EXPECT_NEAR(rows[3][1], 0.5, 1e-12);  // held above it
  EXPECT_NEAR(rows[3][2], 9.0, 1e-12);
  dir.write("bad.csv",
            "curve,strain_percent,modulus_ratio,damping_percent\n"
            "c,0.1,0.9,1\nc,0.01,0.8,2\n");
  const run_result r = run_command(dir, {"curves", "c", "--curves", "bad.csv"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("bad.csv: line 3, column strain_percent: value 0.01: strains of a "
                       "curve's modulus must increase: line 2 has 0.1"),
            std::string::npos)
      << r.err;
}

TEST(ProfileBatch, AManifestNamesProfilesWaterTablesAndCurves) {
  scratch_dir dir;
  dir.write("wave.csv", sine_record(256, 0.01f));
  dir.write("profile.csv",
            "thickness_m,vs_mps,vp_mps,density_t_m3,damping,curve\n"
            "10,200,600,1.9,,site clay\n,900,1800,2.2,0.01,\n");
  dir.write("curves.csv",
            "curve,strain_percent,modulus_ratio,damping_percent\n"
            "site clay,0.0001,1,1\nsite clay,1,0.2,15\n");
  dir.write("soil_dat.csv", three_layer_soil(1));
  dir.write("suite.csv",
            "case,record,profile,water-table,curves,soil\n"
            "wet,wave.csv,profile.csv,3,curves.csv,\n"
            "old,wave.csv,,,,soil_dat.csv\n");
  const run_result r = run_command(dir, {"batch", "suite.csv", "--out", "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::string summary = dir.read("out/summary.csv");
  EXPECT_NE(summary.find("profile.csv"), std::string::npos) << summary;
  EXPECT_NE(summary.find("soil_dat.csv"), std::string::npos) << summary;
  EXPECT_NE(dir.read("out/wet/curves.csv").find("site clay,"), std::string::npos);
}

}  // namespace
}  // namespace sitewave::testing
