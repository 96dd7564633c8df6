// The profile below the surface that every exact run reports (profile.csv)
// and the motions at depth (depth_motions.csv): consistent with the surface
// results, in the record's unit, with strains only where the unit is known;
// and what an equivalent-linear run refuses.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "cli/batch/batch_files.hpp"
#include "cli/io/json_reader.hpp"

namespace sitewave::testing {
namespace {

class RunSiteProfile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("wave.csv", sine_record(400, 0.01f));
    dir.write("soil.csv", three_layer_soil(1));
  }
  run_result run(std::vector<std::string> extra) {
    std::vector<std::string> args{"run",   "--record", "wave.csv", "--soil", "soil.csv",
                                  "--out", "out",      "--force",  "--quiet"};
    args.insert(args.end(), extra.begin(), extra.end());
    return run_command(dir, args);
  }
  scratch_dir dir;
};

TEST_F(RunSiteProfile, ALinearRunReportsEachLayerConsistentlyWithTheSurface) {
  ASSERT_EQ(run({"--units", "m/s2"}).exit_code, 0);
  const auto rows = table_rows(dir.read("out/profile.csv"));
  ASSERT_EQ(rows.size(), 6u) << "two components, two layers and the half-space each";
  EXPECT_EQ(rows[0].at("component"), "H1");
  EXPECT_EQ(rows[3].at("component"), "H2");
  EXPECT_EQ(rows[2].at("bottom_m"), "") << "the half-space has no bottom";
  EXPECT_EQ(rows[0].at("modulus_ratio"), "1");
  EXPECT_FALSE(rows[0].at("max_strain_pct").empty());
  const auto run_json = cli::parse_json(dir.read("out/run.json"));
  for (const auto& [row, component] : {std::pair{0, "H1"}, std::pair{3, "H2"}}) {
    const double surface = run_json->at({"peaks", "surface", component})->number;
    EXPECT_NEAR(std::stod(rows[row].at("pga")), surface, 1e-5 * surface) << component;
  }
  // Without a known unit the strains and stresses mean nothing: left empty.
  ASSERT_EQ(run({"--units", "counts"}).exit_code, 0);
  const auto plain = table_rows(dir.read("out/profile.csv"));
  EXPECT_EQ(plain[0].at("max_strain_pct"), "");
  EXPECT_EQ(plain[0].at("max_stress_kpa"), "");
  EXPECT_EQ(plain[0].at("pga"), rows[0].at("pga"));
}

TEST_F(RunSiteProfile, MotionsAtDepthStartFromTheSurfaceMotion) {
  ASSERT_EQ(run({"--at-depth", "0,7.5", "--fft-size", "1024"}).exit_code, 0);
  const auto depth = table_rows(dir.read("out/depth_motions.csv"));
  const auto surface = table_rows(dir.read("out/surface.csv"));
  ASSERT_EQ(depth.size(), 1024u);
  ASSERT_EQ(surface.size(), 1024u) << "--fft-size pads the record";
  double peak = 0.0, worst = 0.0;
  for (std::size_t i = 0; i < depth.size(); ++i) {
    const double s = std::stod(surface[i].at("H1"));
    peak = std::max(peak, std::fabs(s));
    worst = std::max(worst, std::fabs(std::stod(depth[i].at("H1_0m")) - s));
  }
  EXPECT_LT(worst, 1e-5 * peak) << "the motion at depth 0 is the surface motion";
  EXPECT_TRUE(depth[0].contains("outcrop_H2_7.5m"));
  const std::string response = dir.read("out/response.csv");
  EXPECT_NE(response.find(",within_7.5m\n"), std::string::npos);
  EXPECT_NE(response.find(",outcrop_7.5m\n"), std::string::npos);
  EXPECT_EQ(run({"--fft-size", "256"}).exit_code, 1) << "fewer points than the record's rows";
}

TEST_F(RunSiteProfile, AnEquivalentLinearRunNeedsTheExactPhysicsAndAKnownUnit) {
  const struct {
    std::vector<std::string> options;
    const char* says;
  } refusals[] = {
      {{"--analysis", "eql", "--physics", "legacy", "--units", "g"}, "takes the exact physics"},
      {{"--analysis", "eql"}, "needs the record in a known unit: g, m/s2, cm/s2 (gal), mm/s2"},
      {{"--analysis", "eql", "--units", "g", "--strain-ratio", "0.6", "--magnitude", "7"},
       "give either --strain-ratio or --magnitude"},
      {{"--at-depth", "5", "--physics", "legacy"}, "motions at depth come from the exact physics"},
  };
  for (const auto& r : refusals) {
    const run_result result = run(r.options);
    EXPECT_NE(result.exit_code, 0);
    EXPECT_NE(result.err.find(r.says), std::string::npos) << result.err;
  }
  // Without any curve the iteration is the linear analysis (for damping that
  // does not grow with frequency, as the iteration's), and says so.
  dir.write("soil.csv",
            "model\n30\n1\nlayers\n3\nNo,Density,Vp,Qp,Fp,Vs,Qs,Fs,H\n"
            "1,1.7,400,15,0,150,10,0,5\n2,1.9,800,25,0,300,20,0,15\n3,2.3,2000,60,0,900,50,0,0\n");
  ASSERT_EQ(run({"--units", "g"}).exit_code, 0);
  const std::string linear_transfer = dir.read("out/transfer.csv");
  const std::string linear = dir.read("out/profile.csv");
  const run_result eql = run({"--analysis", "eql", "--units", "g", "--sublayer-frequency", "0"});
  ASSERT_EQ(eql.exit_code, 0) << eql.err;
  EXPECT_NE(eql.err.find("no layer of soil.csv has a curve"), std::string::npos) << eql.err;
  EXPECT_EQ(dir.read("out/profile.csv"), linear);
  EXPECT_EQ(dir.read("out/transfer.csv"), linear_transfer);
  const auto run_json = cli::parse_json(dir.read("out/run.json"));
  EXPECT_TRUE(run_json->at({"eql", "H1", "converged"})->flag);
  EXPECT_EQ(run_json->at({"eql", "H1", "iterations"})->number, 1.0);
}

}  // namespace
}  // namespace sitewave::testing
