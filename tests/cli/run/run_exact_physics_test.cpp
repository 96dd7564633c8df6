// `sitewave run --physics exact`: the exact amplification replaces the
// legacy one in every file, with the radial columns added; at vertical
// incidence its SH agrees with the legacy SH; an outcrop record is referred
// to the half-space's own free surface.
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

// Constant damping (F = 0), where both formulations damp every row alike.
const char* const constant_damping_soil =
    "model\n0\n1\nlayers\n3\nNo,Density,Vp,Qp,Fp,Vs,Qs,Fs,H\n"
    "1,1.7,400,15,0,150,10,0,5\n2,1.9,800,25,0,300,20,0,15\n3,2.3,2000,60,0,900,50,0,0\n";

class RunExact : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("wave.csv", sine_record(400, 0.01f));
    dir.write("soil.csv", constant_damping_soil);
  }
  std::vector<std::vector<double>> transfer(std::vector<std::string> extra) {
    std::vector<std::string> args{"run",      "--record", "wave.csv", "--soil",
                                  "soil.csv", "--out",    "out",      "--force"};
    args.insert(args.end(), extra.begin(), extra.end());
    const run_result r = run_command(dir, args);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    return numeric_rows(dir.read("out/transfer.csv"));
  }
  scratch_dir dir;
};

TEST_F(RunExact, ShAtVerticalIncidenceAgreesWithTheLegacyTable) {
  const auto legacy = transfer({"--physics", "legacy"});
  const auto exact = transfer({"--physics", "exact"});
  ASSERT_EQ(legacy.size(), exact.size());
  EXPECT_EQ(legacy[0].size(), 9u);
  EXPECT_EQ(exact[0].size(), 13u);  // the radial columns follow
  for (std::size_t i = 0; i < exact.size(); ++i) {
    EXPECT_NEAR(exact[i][3], legacy[i][3], 5e-5 * legacy[i][3]) << "row " << i;
    EXPECT_NEAR(exact[i][11], 0.0, 1e-12) << "no radial motion at vertical incidence";
  }
  EXPECT_NE(dir.read("out/run.json").find("\"physics\": \"exact\""), std::string::npos);
}

TEST_F(RunExact, OutcropIsReferredToTheFreeSurfaceOfTheHalfSpace) {
  const auto incident = transfer({"--physics", "exact", "--angle", "35"});
  const auto outcrop = transfer({"--physics", "exact", "--angle", "35", "--input", "outcrop"});
  // At zero frequency the layers are transparent: the surface moves as the
  // outcrop does, while over the incident wave the P factor is not simply 2.
  EXPECT_NEAR(outcrop[0][3], 1.0, 1e-9);
  EXPECT_NEAR(outcrop[0][7], 1.0, 1e-9);
  EXPECT_GT(std::fabs(incident[0][7] - 2.0), 0.02);
  for (std::size_t i = 0; i < incident.size(); ++i) {
    EXPECT_NEAR(outcrop[i][3], incident[i][3] / 2, 1e-8 * incident[i][3]) << i;
  }
}

TEST_F(RunExact, AModelTheExactPhysicsCannotTakeIsRefused) {
  // Vp barely above Vs: accepted by the legacy reader, but its bulk modulus
  // would be negative.
  dir.write("soil.csv",
            "model\n10\n1\nlayers\n2\nh\n1,1.8,210,20,0,200,20,0,10\n2,2.2,2000,50,0,800,50,0,0\n");
  const run_result legacy = run_command(dir, {"run", "--record", "wave.csv", "--soil", "soil.csv",
                                              "--out", "a", "--physics", "legacy"});
  EXPECT_EQ(legacy.exit_code, 0) << legacy.err;
  const run_result exact = run_command(dir, {"run", "--record", "wave.csv", "--soil", "soil.csv",
                                             "--out", "b", "--physics", "exact"});
  EXPECT_EQ(exact.exit_code, 1);
  EXPECT_NE(exact.err.find("soil.csv: the exact physics cannot take this model"), std::string::npos)
      << exact.err;
  EXPECT_FALSE(dir.exists("b"));
}

// Fifty thick, weakly damped rows: the single-precision legacy recursion
// overflows from about 22 Hz on.
std::string overflowing_soil() {
  std::string rows;
  for (int l = 1; l <= 50; ++l) {
    rows += std::to_string(l) + ",1.8," + (l < 50 ? "1500" : "2000") + ",5,0," +
            std::to_string(l < 50 ? 210 + 10 * l : 900) + ",5,0," + (l < 50 ? "50" : "0") + "\n";
  }
  return "deep\n60\n1\nlayers\n50\nh\n" + rows;
}

TEST_F(RunExact, AnOverflowingLegacyModelIsWarnedAboutAndTheExactPhysicsStaysFinite) {
  dir.write("soil.csv", overflowing_soil());
  const run_result legacy = run_command(dir, {"run", "--record", "wave.csv", "--soil", "soil.csv",
                                              "--out", "legacy", "--physics", "legacy"});
  EXPECT_EQ(legacy.exit_code, 0) << legacy.err;
  EXPECT_NE(legacy.err.find("warning: results not finite: the amplification from"),
            std::string::npos)
      << legacy.err;
  EXPECT_NE(legacy.err.find("--physics exact does not"), std::string::npos);
  EXPECT_NE(dir.read("legacy/transfer.csv").find("nan"), std::string::npos);
  EXPECT_TRUE(dir.exists("legacy/response.csv"));
  const run_result exact = run_command(dir, {"run", "--record", "wave.csv", "--soil", "soil.csv",
                                             "--out", "exact", "--physics", "exact"});
  EXPECT_EQ(exact.exit_code, 0) << exact.err;
  EXPECT_EQ(exact.err, "");
  EXPECT_EQ(dir.read("exact/transfer.csv").find("nan"), std::string::npos);
}

}  // namespace
}  // namespace sitewave::testing
