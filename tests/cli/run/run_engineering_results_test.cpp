// The engineering results of `sitewave run`: response spectra in long
// format with the peak accelerations at period 0, smoothed spectra beside
// the raw ones, and the figures of `sitewave plot`.
#include <algorithm>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/program_run.hpp"
#include "support/records.hpp"

namespace sitewave::testing {
namespace {

namespace fs = std::filesystem;

class RunEngineering : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("wave.csv", sine_record(500, 0.01f));
    dir.write("soil.csv", three_layer_soil(1));
  }
  run_result run(std::vector<std::string> extra) {
    std::vector<std::string> args{"run",      "--record", "wave.csv", "--soil",
                                  "soil.csv", "--out",    "out",      "--force"};
    args.insert(args.end(), extra.begin(), extra.end());
    return run_command(dir, args);
  }
  scratch_dir dir;
};

TEST_F(RunEngineering, ResponseSpectraInLongFormatWithPeaksAtPeriodZero) {
  ASSERT_EQ(run({"--motion", "integrate"}).exit_code, 0);
  EXPECT_EQ(lines_of(dir.read("out/response.csv")).front(),
            "damping,period_s,in_H1,in_H2,in_V1,out_H1,out_H2,out_V1,ratio_H1,ratio_H2,ratio_V1,"
            "in_rotd50,in_rotd100,out_rotd50,out_rotd100,ratio_rotd50,location");
  const auto rows = numeric_rows(dir.read("out/response.csv"));
  ASSERT_EQ(rows.size(), 101u);  // period 0, then 100 periods from 0.01 to 10 s
  EXPECT_EQ(rows[0][1], 0.0);
  EXPECT_NEAR(rows[1][1], 0.01, 1e-12);
  EXPECT_NEAR(rows[100][1], 10.0, 1e-9);
  // The input's peak at period 0 is the record's own: sine_record's H1 is
  // sin(2t + 0.2) over 5 s, whose largest sample is within 1e-4 of 1.
  EXPECT_NEAR(rows[0][2], 1.0, 1e-4);
  for (const auto& row : rows) {
    EXPECT_EQ(row[0], 0.05);
    // Peaks (period 0) are single-precision samples, written in their shortest form.
    const double digits = row[1] == 0.0 ? 1e-7 : 1e-8;
    for (int c = 0; c < 3; ++c) {
      EXPECT_NEAR(row[8 + c], row[5 + c] / row[2 + c], digits * row[8 + c]);
    }
    // RotD100 at least each horizontal's peak (angles 0 and 90), RotD50 at
    // most RotD100, and the ratio of the RotD50s.
    for (int side : {0, 3}) {
      const double in_rotd100 = row[12 + side / 3 * 2], in_rotd50 = row[11 + side / 3 * 2];
      EXPECT_GE(in_rotd100, std::max(row[2 + side], row[3 + side]) * (1.0 - 1e-6)) << row[1];
      EXPECT_LE(in_rotd50, in_rotd100) << row[1];
    }
    EXPECT_NEAR(row[15], row[13] / row[11], 1e-8 * row[15]);
  }
  // The surface motion's spectrum is of its acceleration, whatever --motion
  // made of the waveforms: a long-period oscillator tends to displacement.
  EXPECT_NE(dir.read("out/run.json").find("\"record_quantity\": \"acceleration\""),
            std::string::npos);
}

TEST_F(RunEngineering, PeriodsAndDampingFromTheOptions) {
  dir.write("periods.txt", "0.1\n0.5\n\n2.0\n");
  ASSERT_EQ(run({"--periods", "periods.txt", "--damping", "0.02,0.05"}).exit_code, 0);
  auto rows = numeric_rows(dir.read("out/response.csv"));
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_EQ(rows[4][0], 0.05);
  EXPECT_EQ(rows[5][1], 0.1);
  EXPECT_GT(rows[1][2], rows[5][2]);  // less damping, a larger response
  ASSERT_EQ(run({"--periods", "0.2,1"}).exit_code, 0);
  rows = numeric_rows(dir.read("out/response.csv"));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2][1], 1.0);
  EXPECT_EQ(run({"--periods", "-1,2"}).exit_code, 1);
  EXPECT_EQ(run({"--damping", "1.5"}).exit_code, 1);
  EXPECT_EQ(run({"--periods", "missing.txt"}).exit_code, 1);
}

TEST_F(RunEngineering, SmoothedSpectraBesideTheRawOnes) {
  ASSERT_EQ(run({"--smoothing", "20"}).exit_code, 0);
  const auto lines = lines_of(dir.read("out/spectra.csv"));
  EXPECT_EQ(lines.front(),
            "freq_hz,in_H1,in_H2,in_V1,out_H1,out_H2,out_V1,in_H1_smooth,in_H2_smooth,"
            "in_V1_smooth,out_H1_smooth,out_H2_smooth,out_V1_smooth");
  const auto rows = numeric_rows(dir.read("out/spectra.csv"));
  double raw = 0, smooth = 0;
  for (const auto& row : rows) {
    ASSERT_EQ(row.size(), 13u);
    raw += row[1];
    smooth += row[7];
  }
  EXPECT_NEAR(smooth / raw, 1.0, 0.3);  // smoothing moves energy, it does not make it
}

// Width and height of a PNG, from its header chunk.
std::pair<std::uint32_t, std::uint32_t> png_size(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  unsigned char head[24] = {};
  in.read(reinterpret_cast<char*>(head), sizeof head);
  const auto word = [&head](int at) {
    return (std::uint32_t{head[at]} << 24) | (std::uint32_t{head[at + 1]} << 16) |
           (std::uint32_t{head[at + 2]} << 8) | std::uint32_t{head[at + 3]};
  };
  if (head[1] != 'P' || head[2] != 'N' || head[3] != 'G') return {0, 0};
  return {word(16), word(20)};
}

TEST_F(RunEngineering, PlotMakesTheFourFigures) {
  if (std::system("/usr/bin/python3 -c 'import matplotlib' 2>/dev/null") != 0) {
    GTEST_SKIP() << "matplotlib is not installed for /usr/bin/python3 (python3-matplotlib)";
  }
  ASSERT_EQ(run({}).exit_code, 0);
  const run_result r = run_command(dir, {"plot", "out", "--dpi", "60"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  for (const char* name : {"amplification", "fourier", "response", "waveforms"}) {
    const fs::path png = dir.path() / "out" / "plots" / (std::string(name) + ".png");
    ASSERT_TRUE(fs::exists(png)) << name;
    EXPECT_GT(fs::file_size(png), 10000u) << name;
    EXPECT_EQ(png_size(png), std::make_pair(std::uint32_t{600}, std::uint32_t{420})) << name;
  }
  EXPECT_EQ(run_command(dir, {"plot", "nowhere"}).exit_code, 1);
  EXPECT_EQ(run_command(dir, {"plot"}).exit_code, 2);
}

}  // namespace
}  // namespace sitewave::testing
