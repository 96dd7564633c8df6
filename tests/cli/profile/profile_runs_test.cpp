// Profiles through whole runs: the bundled example's headed profile gives
// the very files of its soil_dat.csv, a profile of 200 rows runs in both
// physics, and an equivalent-linear run takes the profile's curves.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/program_run.hpp"
#include "support/records.hpp"

namespace sitewave::testing {
namespace {

namespace fs = std::filesystem;

std::string example(const char* name) {
  std::ifstream in(fs::path(SITEWAVE_EXAMPLES) / name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(ProfileRuns, TheExampleProfileGivesTheFilesOfItsSoilFile) {
  scratch_dir dir;
  dir.write("record.csv", example("kaikoura_wtmc.csv"));
  dir.write("soil_dat.csv", example("soil_dat.csv"));
  dir.write("profile.csv", example("profile.csv"));
  for (const char* physics : {"exact", "legacy"}) {
    SCOPED_TRACE(physics);
    const std::string a = std::string("soil-") + physics, b = std::string("profile-") + physics;
    const std::vector<std::string> common{"run", "--record", "record.csv", "--physics", physics,
                                          "--quiet"};
    auto with = [&](std::vector<std::string> extra) {
      std::vector<std::string> args = common;
      args.insert(args.end(), extra.begin(), extra.end());
      return run_command(dir, args);
    };
    ASSERT_EQ(with({"--soil", "soil_dat.csv", "--out", a}).exit_code, 0);
    const run_result r = with({"--profile", "profile.csv", "--out", b});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    if (std::string(physics) == "exact") {
      EXPECT_EQ(r.err, "");
    }
    int compared = 0;
    for (const auto& f : fs::directory_iterator(dir / a)) {
      const std::string name = f.path().filename();
      if (name == "run.json" || name == "profile.csv") continue;  // name the inputs and layers
      EXPECT_EQ(dir.read(a + "/" + name), dir.read(b + "/" + name)) << name;
      ++compared;
    }
    EXPECT_GE(compared, 6);
  }
}

// 200 rows of 1 m with Vs rising down a gradient, over rock.
std::string long_profile() {
  std::string text = "thickness_m,vs_mps,vp_mps,density_t_m3,damping,curve\n";
  for (int l = 0; l < 200; ++l) {
    const double vs = 150.0 + 2.0 * l;
    text += "1," + std::to_string(vs) + "," + std::to_string(2.0 * vs) + ",1.9,0.02," +
            (l % 2 ? "seed-idriss-sand-mean" : "idriss-clay") + "\n";
  }
  return text + ",1500,3000,2.4,0.005,\n";
}

TEST(ProfileRuns, TwoHundredRowsRunInBothPhysics) {
  scratch_dir dir;
  dir.write("wave.csv", sine_record(512, 0.01f));
  dir.write("long.csv", long_profile());
  for (const char* physics : {"exact", "legacy"}) {
    SCOPED_TRACE(physics);
    const run_result r = run_command(dir, {"run", "--record", "wave.csv", "--profile", "long.csv",
                                           "--physics", physics, "--out", physics});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.out.find("200 layers over a half-space"), std::string::npos) << r.out;
    const auto rows = numeric_rows(dir.read(std::string(physics) + "/transfer.csv"));
    ASSERT_FALSE(rows.empty());
    for (const auto& row : rows)
      for (const double v : row) ASSERT_TRUE(std::isfinite(v));
    // At zero frequency the stack is transparent: twice the incident wave.
    EXPECT_NEAR(rows.front()[3], 2.0, 1e-5);
  }
}

TEST(ProfileRuns, AnEquivalentLinearRunTakesTheProfilesCurves) {
  scratch_dir dir;
  dir.write("wave.csv", sine_record(512, 0.01f));
  dir.write("profile.csv",
            "name,thickness_m,vs_mps,vp_mps,density_t_m3,damping,curve,pi\n"
            "clay,10,180,1500,1.8,,darendeli,30\n"
            "rock,,1200,2400,2.3,0.01,,\n");
  const run_result r =
      run_command(dir, {"run", "--record", "wave.csv", "--profile", "profile.csv", "--analysis",
                        "eql", "--units", "g", "--water-table", "2", "--out", "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err.find("no layer"), std::string::npos) << r.err;
  const std::string profile = dir.read("out/profile.csv");
  EXPECT_NE(profile.find("clay"), std::string::npos);
  // A record of about 1 g strains the soft clay: its modulus ratio falls below 1.
  const auto lines = lines_of(profile);
  ASSERT_GE(lines.size(), 2u);
  std::vector<std::string> cells;
  std::stringstream row(lines[1]);
  for (std::string c; std::getline(row, c, ',');) cells.push_back(c);
  ASSERT_GE(cells.size(), 8u);
  EXPECT_EQ(cells[2], "clay");
  EXPECT_LT(std::stod(cells[7]), 0.9) << lines[1];
}

}  // namespace
}  // namespace sitewave::testing
