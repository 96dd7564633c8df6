// Records beyond the dialogue's capacity, and interrupts of a long run: the
// results folder appears complete or not at all.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "support/program_run.hpp"
#include "support/records.hpp"

namespace sitewave::testing {
namespace {

namespace fs = std::filesystem;

bool staging_exists(const scratch_dir& dir) {
  for (const auto& e : fs::directory_iterator(dir.path())) {
    if (e.path().filename().string().find(".staging-") != std::string::npos) return true;
  }
  return false;
}

// A deep profile: 50 rows, so that the amplification takes a while.
std::string deep_soil() {
  std::string rows;
  for (int l = 1; l <= 50; ++l) {
    rows += std::to_string(l) + ",1.8," + std::to_string(400 + 20 * l) + ",20,0.3," +
            std::to_string(150 + 10 * l) + ",10,0.5," + (l == 50 ? "0" : "4") + "\n";
  }
  return "Deep profile\n20\n1\nLayers\n50\nNo,Density,Vp,Qp,Fp,Vs,Qs,Fs,H\n" + rows;
}

TEST(RunLarge, ARecordOfAHundredThousandRowsRuns) {
  const scratch_dir dir;
  dir.write("long.csv", sine_record(100000, 0.005f));
  dir.write("soil_dat.csv", three_layer_soil(1));
  const run_result r = run_command(dir, {"run", "--record", "long.csv", "--out", "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(dir.read("out/run.json").find("\"transform_size\": 131072"), std::string::npos);
  EXPECT_EQ(lines_of(dir.read("out/surface.csv")).size(), 131072u + 1);
  EXPECT_EQ(lines_of(dir.read("out/transfer.csv")).size(), 65537u + 1);
}

TEST(RunInterrupt, LeavesNoResultsAndKeepsTheOldOnes) {
  const scratch_dir dir;
  dir.write("long.csv", sine_record(120000, 0.005f));
  dir.write("soil_dat.csv", deep_soil());
  fs::create_directory(dir / "out");
  dir.write("out/run.json", R"({"program": "sitewave"})");
  dir.write("out/surface.csv", "previous results");
  for (const int sig : {SIGINT, SIGTERM}) {
    const run_result r =
        interrupt_command(dir, {"run", "--record", "long.csv", "--out", "out", "--force"}, sig,
                          [&dir] { return staging_exists(dir); });
    EXPECT_EQ(r.exit_code, 128 + sig) << r.err;
    EXPECT_NE(r.err.find("interrupted"), std::string::npos) << r.err;
    EXPECT_FALSE(staging_exists(dir));
    EXPECT_EQ(dir.read("out/surface.csv"), "previous results");
  }
}

// A result file that stops growing (a full disk, here a size limit) ends the
// run with one line naming the file; the former results stay, nothing of the
// new ones is left behind.
TEST(RunLarge, AWriteThatFailsPartWayLeavesTheFormerResults) {
  const scratch_dir dir;
  dir.write("long.csv", sine_record(100000, 0.005f));
  dir.write("soil_dat.csv", three_layer_soil(1));
  fs::create_directory(dir / "out");
  dir.write("out/run.json", R"({"program": "sitewave"})");
  dir.write("out/surface.csv", "previous results");
  // 4096 blocks: more than a piece of a file, far less than surface.csv.
  dir.write("limited", "#!/bin/sh\ntrap '' XFSZ\nulimit -f 4096\nexec " SITEWAVE_BIN " \"$@\"\n");
  fs::permissions(dir / "limited", fs::perms::owner_all);
  for (const char* threads : {"1", "2"}) {
    const run_result r = run_command(dir,
                                     {"run", "--record", "long.csv", "--out", "out", "--force",
                                      "--threads", threads},
                                     {}, (dir / "limited").string());
    EXPECT_EQ(r.exit_code, 1) << r.err;
    EXPECT_NE(r.err.find(".csv: File too large"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_FALSE(staging_exists(dir));
    EXPECT_EQ(dir.read("out/surface.csv"), "previous results");
    EXPECT_FALSE(dir.exists("out/transfer.csv"));
  }
}

}  // namespace
}  // namespace sitewave::testing
