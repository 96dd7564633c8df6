// The command and the dialogue over the same inputs: the dialogue's three
// files come out byte for byte the same, the clean files agree with them to
// their printed precision, an outcrop input is the incident one halved, and
// the thread count changes no result.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/program_run.hpp"
#include "support/records.hpp"

namespace sitewave::testing {
namespace {

const char* const legacy_files[] = {"Amp-Factors.csv", "amp1.csv", "wave1.csv"};

struct case_inputs {
  std::string record;
  std::string soil;
  std::string answers;            // the dialogue's answers after the file name
  std::vector<std::string> args;  // the same choices as options of run
};

// Runs both front ends on the same files; the command's results go to out/.
void expect_same_legacy_files(const case_inputs& c) {
  const scratch_dir dir;
  dir.write("wave.csv", c.record);
  dir.write("soil_dat.csv", c.soil);
  std::vector<std::string> args{"run",   "--record", "wave.csv",  "--soil", "soil_dat.csv",
                                "--out", "out",      "--physics", "legacy"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  const run_result command = run_command(dir, args);
  ASSERT_EQ(command.exit_code, 0) << command.err;
  const run_result dialogue = run_program(dir, "wave.csv\n" + c.answers);
  ASSERT_EQ(dialogue.exit_code, 0) << dialogue.err;
  for (const char* name : legacy_files) {
    EXPECT_EQ(dir.read(std::string("out/") + name), dir.read(name)) << name << " " << c.answers;
  }
}

TEST(RunMatchesDialogue, LegacyFilesAreTheSameBytes) {
  const std::string record = sine_record(700, 0.01f);
  expect_same_legacy_files({record, three_layer_soil(1), "0\n0\n", {}});
  expect_same_legacy_files({record, three_layer_soil(2), "0\n0\n", {}});
  expect_same_legacy_files({record,
                            three_layer_soil(1),
                            "1\n1\n0.5 1 20 40\n",
                            {"--motion", "integrate", "--filter", "0.5,1,20,40"}});
  expect_same_legacy_files({record,
                            three_layer_soil(2),
                            "2\n1\n0,0,10,12\n",
                            {"--motion", "differentiate", "--filter", "0,0,10,12"}});
  // The options override the file: type 2 and 10 degrees in the file become
  // what a type 1 file at 30 degrees gives.
  std::string soil = three_layer_soil(2);
  soil.replace(soil.find("30.0"), 4, "10.0");
  const scratch_dir dir;
  dir.write("wave.csv", record);
  dir.write("soil_dat.csv", soil);
  ASSERT_EQ(run_command(dir, {"run", "--record", "wave.csv", "--soil", "soil_dat.csv", "--angle",
                              "30", "--input", "incident", "--out", "out", "--physics", "legacy"})
                .exit_code,
            0);
  dir.write("soil_dat.csv", three_layer_soil(1));
  ASSERT_EQ(run_program(dir, "wave.csv\n0\n0\n").exit_code, 0);
  for (const char* name : legacy_files) {
    EXPECT_EQ(dir.read(std::string("out/") + name), dir.read(name)) << name;
  }
}

// A value printed in E12.4 (4 significant digits) holds to half a unit of its
// last digit.
void expect_printed(double clean, double printed, const char* what, std::size_t row) {
  const double unit =
      printed == 0.0 ? 1e-30 : std::pow(10.0, std::floor(std::log10(std::fabs(printed))) - 3);
  EXPECT_LE(std::fabs(clean - printed), 0.5 * unit + 1e-12) << what << " row " << row;
}

TEST(RunCleanFiles, AgreeWithTheLegacyFilesToTheirPrecision) {
  const scratch_dir dir;
  dir.write("wave.csv", sine_record(500, 0.01f));
  dir.write("soil_dat.csv", three_layer_soil(1));
  ASSERT_EQ(run_command(dir, {"run", "--record", "wave.csv", "--soil", "soil_dat.csv", "--filter",
                              "0.2,0.5,20,30", "--out", "out", "--physics", "legacy"})
                .exit_code,
            0);
  const auto amp = numeric_rows(dir.read("out/Amp-Factors.csv"));
  const auto transfer = numeric_rows(dir.read("out/transfer.csv"));
  ASSERT_EQ(amp.size(), transfer.size());
  for (std::size_t i = 0; i < amp.size(); ++i) {
    expect_printed(transfer[i][3], amp[i][1], "sh_abs", i);   // Samp1, the applied column
    expect_printed(transfer[i][7], amp[i][3], "psv_abs", i);  // Pamp1
    EXPECT_NEAR(std::hypot(transfer[i][1], transfer[i][2]), transfer[i][3], 1e-6 * transfer[i][3]);
  }
  const auto spectrum = numeric_rows(dir.read("out/amp1.csv"));
  const auto spectra = numeric_rows(dir.read("out/spectra.csv"));
  ASSERT_EQ(spectrum.size(), spectra.size());
  for (std::size_t i = 0; i < spectrum.size(); ++i) {
    EXPECT_NEAR(spectra[i][0], spectrum[i][0], 5e-5 + 1e-6 * spectra[i][0]) << i;
    for (int c = 0; c < 3; ++c) expect_printed(spectra[i][4 + c], spectrum[i][1 + c], "out", i);
  }
  const auto wave = numeric_rows(dir.read("out/wave1.csv"));
  const auto surface = numeric_rows(dir.read("out/surface.csv"));
  ASSERT_EQ(wave.size(), surface.size());
  ASSERT_EQ(wave.size(), 512u);
  for (std::size_t i = 0; i < wave.size(); ++i) {
    EXPECT_NEAR(surface[i][0], wave[i][0], 5e-6) << i;
    // wave1.csv shows the motion relative to its first sample, surface.csv the motion itself.
    for (int c = 1; c <= 3; ++c) {
      expect_printed(static_cast<float>(surface[i][c]) - static_cast<float>(surface[0][c]),
                     wave[i][c], "surface", i);
    }
  }
}

TEST(RunInputTypes, OutcropIsTheIncidentColumnHalved) {
  const scratch_dir dir;
  dir.write("wave.csv", sine_record(300, 0.01f));
  dir.write("soil_dat.csv", three_layer_soil(1));
  const std::vector<std::string> base{"run",          "--record",  "wave.csv", "--soil",
                                      "soil_dat.csv", "--physics", "legacy"};
  auto with = [&base](std::vector<std::string> more) {
    more.insert(more.begin(), base.begin(), base.end());
    return more;
  };
  ASSERT_EQ(run_command(dir, with({"--input", "incident", "--out", "inc"})).exit_code, 0);
  ASSERT_EQ(run_command(dir, with({"--input", "outcrop", "--out", "out"})).exit_code, 0);
  const auto incident = numeric_rows(dir.read("inc/transfer.csv"));
  const auto outcrop = numeric_rows(dir.read("out/transfer.csv"));
  ASSERT_EQ(incident.size(), outcrop.size());
  for (std::size_t i = 0; i < incident.size(); ++i) {
    for (int col : {1, 2, 3, 5, 6, 7}) {
      EXPECT_NEAR(outcrop[i][col], incident[i][col] / 2, 1e-8 * std::fabs(incident[i][col])) << i;
    }
  }
  EXPECT_EQ(outcrop[0][1], 1.0);  // zero frequency: the surface moves as the outcrop
  const auto inc_wave = numeric_rows(dir.read("inc/surface.csv"));
  const auto out_wave = numeric_rows(dir.read("out/surface.csv"));
  for (std::size_t i = 0; i < inc_wave.size(); ++i) {
    EXPECT_NEAR(out_wave[i][1], inc_wave[i][1] / 2, 1e-6 * (1 + std::fabs(inc_wave[i][1])));
  }
}

// The components, the result files and the spectra are made side by side
// when threads are allowed: every file is the same whatever their number.
TEST(RunThreads, EveryResultIsTheSameForAnyThreadCount) {
  const scratch_dir dir;
  dir.write("wave.csv", sine_record(900, 0.01f));
  dir.write("soil_dat.csv", three_layer_soil(1));
  for (const char* threads : {"1", "2", "5"}) {
    const run_result r = run_command(
        dir, {"run", "--record", "wave.csv", "--soil", "soil_dat.csv", "--motion", "integrate",
              "--filter", "0.1,0.2,20,30", "--threads", threads, "--out", threads});
    ASSERT_EQ(r.exit_code, 0) << r.err;
  }
  for (const char* name : {"Amp-Factors.csv", "amp1.csv", "wave1.csv", "transfer.csv",
                           "spectra.csv", "surface.csv", "response.csv"}) {
    const std::string one = dir.read(std::string("1/") + name);
    EXPECT_FALSE(one.empty()) << name;
    EXPECT_EQ(dir.read(std::string("2/") + name), one) << name;
    EXPECT_EQ(dir.read(std::string("5/") + name), one) << name;
  }
}

}  // namespace
}  // namespace sitewave::testing
