// The slips a new user makes in a ground model, run end to end through
// `sitewave run`: each refusal is one line naming the file, the line, the
// column and the value, with status 1 and nothing written; each warning is
// one line and the run goes on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/program_run.hpp"
#include "support/records.hpp"

namespace sitewave::testing {
namespace {

// A headed profile of three soil layers over rock, one edit away from each case.
constexpr const char* header = "name,thickness_m,vs_mps,vp_mps,density_t_m3,damping,curve,pi";
const std::vector<std::string> good_rows = {
    "fill,2.5,161.6,400,1.9,0.02,,",
    "clay,8,220,1500,1.8,,darendeli,25",
    "sand,12,350,1700,2.0,0.01,seed-idriss-sand-mean,",
    "rock,,1200,2400,2.3,0.005,,",
};

std::string profile_of(const std::vector<std::string>& rows, const std::string& head = header) {
  std::string text = head + "\n";
  for (const auto& r : rows) text += r + "\n";
  return text;
}

// The dialogue's format of the same three layers (Q = 1/(2 damping)).
std::string soil_of(int count, const std::vector<std::string>& rows) {
  std::string text = "site\n0,angle\n1,input wave type\nlayers\n" + std::to_string(count) +
                     ",rows\nNo,Density,Vp,Qp,Fp,Vs,Qs,Fs,Thickness\n";
  for (const auto& r : rows) text += r + "\n";
  return text;
}
const std::vector<std::string> good_soil = {
    "1,1.9,400,25,0,161.6,25,0,2.5", "2,1.8,1500,20,0,220,20,0,8", "3,2.0,1700,50,0,350,50,0,12",
    "4,2.3,2400,100,0,1200,100,0,0"};

struct slip {
  const char* what;
  const char* option;  // --profile or --soil
  std::string file;
  int status;
  std::string says;  // in the first line of the error stream
};

std::vector<std::string> edited(std::vector<std::string> rows, std::size_t k, std::string row) {
  rows[k] = std::move(row);
  return rows;
}

std::vector<slip> slips() {
  const auto p = [](std::size_t k, std::string row) {
    return profile_of(edited(good_rows, k, row));
  };
  const auto s = [](std::size_t k, std::string row) {
    return soil_of(4, edited(good_soil, k, row));
  };
  return {
      // The typos of a first attempt, in the dialogue's format.
      {"count one short", "--soil", soil_of(3, good_soil), 1,
       "line 10: 4 layer rows where the row count on line 5 says 3"},
      {"count one long", "--soil", soil_of(5, good_soil), 1,
       "the row count on line 5 says 5 layer rows but 4 follow"},
      {"row missing a value", "--soil", s(1, "2,1.8,1500,20,0,220,20,8"), 1,
       "line 8: layer row 2 has 8 values: 9 are expected"},
      {"decimal comma, dialogue", "--soil", s(0, "1,1.9,400,25,0,161.6,25,0,2,5"), 1,
       "line 7: layer row 1 has 10 values: 9 are expected (No, density, Vp, Qp, Fp, Vs, Qs, Fs, "
       "thickness); a decimal comma?"},
      {"density in kg/m3, dialogue", "--soil", s(1, "2,1800,1500,20,0,220,20,0,8"), 0,
       "line 8, column density: value 1800: the density changes by more than a factor of 2"},
      {"Vs 16.16, dialogue", "--soil", s(0, "1,1.9,400,25,0,16.16,25,0,2.5"), 0,
       "line 7, column Vs: value 16.16: a soil layer's Vs is usually from 50 to 4000 m/s"},
      {"damping ratio where Q belongs", "--soil", s(1, "2,1.8,1500,20,0,220,0.05,0,8"), 1,
       "line 8: layer row 2, Qs 0.05: a quality factor of at least 0.5 (a damping ratio of at "
       "most 1) is expected: a damping ratio typed where Q belongs?"},
      {"Q below 2", "--soil", s(1, "2,1.8,1500,20,0,220,1.5,0,8"), 0,
       "line 8, column Qs: value 1.5: a quality factor below 2"},
      // The same slips and the rest of the refusals in a headed profile.
      {"decimal comma", "--profile", p(0, "fill,2,5,161.6,400,1.9,0.02,,"), 1,
       "line 2: 9 cells where the header has 8 columns: a decimal comma"},
      {"row missing a value", "--profile", p(1, "clay,8,220,1500,1.8,darendeli,25"), 1,
       "line 3: 7 cells where the header has 8 columns"},
      {"density in kg/m3", "--profile", p(1, "clay,8,220,1500,1800,,darendeli,25"), 1,
       "line 3, column density_t_m3: value 1800: a density from 0.5 to 5 t/m³ is expected: "
       "kg/m³? divide by 1000"},
      {"density out of range", "--profile", p(1, "clay,8,220,1500,9,,darendeli,25"), 1,
       "line 3, column density_t_m3: value 9: a density from 0.5 to 5 t/m³ is expected"},
      {"Vs 16.16", "--profile", p(0, "fill,2.5,16.16,400,1.9,0.02,,"), 0,
       "line 2, column vs_mps: value 16.16: a soil layer's Vs is usually from 50 to 4000 m/s"},
      {"Vs above 4000", "--profile", p(2, "sand,12,4500,9000,2.0,0.01,,"), 0,
       "line 4, column vs_mps: value 4500"},
      {"damping in percent", "--profile", p(0, "fill,2.5,161.6,400,1.9,2,,"), 1,
       "line 2, column damping: value 2: a damping ratio from 0 up to 0.5 is expected (0.02 for "
       "2 %): a percentage? 2 % is 0.02"},
      {"damping above 0.25", "--profile", p(0, "fill,2.5,161.6,400,1.9,0.3,,"), 0,
       "line 2, column damping: value 0.3: a small-strain damping ratio above 0.25"},
      {"Vp/Vs above 10", "--profile", p(0, "fill,2.5,161.6,1700,1.9,0.02,,"), 0,
       "line 2, column vp_mps: value 1700: Vp is more than 10 times Vs"},
      {"negative bulk modulus", "--profile", p(0, "fill,2.5,161.6,180,1.9,0.02,,"), 1,
       "line 2, column vp_mps: value 180: a P-wave velocity above Vs·√(4/3) = 186.6"},
      {"zero thickness", "--profile", p(1, "clay,0,220,1500,1.8,,darendeli,25"), 1,
       "line 3, column thickness_m: value 0: a layer thickness in m above 0 is expected"},
      {"half-space not last", "--profile", p(1, "clay,,220,1500,1.8,,darendeli,25"), 1,
       "line 3, column thickness_m: value (empty): a layer thickness in m above 0"},
      {"no half-space row", "--profile", profile_of({good_rows[0], good_rows[1]}), 1,
       "line 3, column thickness_m: value 8: the last row is the half-space"},
      {"Vs not above 0", "--profile", p(0, "fill,2.5,-160,400,1.9,0.02,,"), 1,
       "line 2, column vs_mps: value -160: a shear-wave velocity in m/s above 0"},
      {"not a number", "--profile", p(0, "fill,2.5,161.6,400,1.9,two,,"), 1,
       "line 2, column damping: value two: not a number"},
      {"unknown curve", "--profile", p(1, "clay,8,220,1500,1.8,,darendelli,25"), 1,
       "line 3, column curve: value darendelli: a built-in model (darendeli, menq"},
      {"curve parameter out of range", "--profile", p(1, "clay,8,220,1500,1.8,,darendeli,250"), 1,
       "line 3, column pi: value 250: darendeli takes PI in [0, 200]"},
      {"curve parameter missing", "--profile", p(1, "clay,8,220,1500,1.8,,darendeli,"), 1,
       "line 3, column pi: value (empty): darendeli needs PI"},
      {"unknown column", "--profile", profile_of(good_rows, std::string(header) + ",colour"), 1,
       "line 1, column colour: value colour: an unknown column"},
      {"misspelt column", "--profile",
       profile_of(good_rows, "name,thickness_m,Vs_mps,vp_mps,density_t_m3,damping,curve,pi"), 1,
       "line 1, column Vs_mps: value Vs_mps: an unknown column (names are case-sensitive)"},
      {"missing column", "--profile",
       profile_of({"a,2,200,400,0.02", "b,,800,1600,0.01"},
                  "name,thickness_m,vs_mps,vp_mps,damping"),
       1, "line 1, column density_t_m3: value (empty): a missing column"},
      {"two mass columns", "--profile",
       profile_of({"2,200,400,2,19.6,0.02", ",800,1600,2,19.6,0.01"},
                  "thickness_m,vs_mps,vp_mps,density_t_m3,unit_weight_kn_m3,damping"),
       1, "column unit_weight_kn_m3: value unit_weight_kn_m3: give density_t_m3 or"},
      {"unit weight in N/m3", "--profile",
       profile_of({"2,200,400,18000,0.02", ",800,1600,22,0.01"},
                  "thickness_m,vs_mps,vp_mps,unit_weight_kn_m3,damping"),
       1,
       "line 2, column unit_weight_kn_m3: value 18000: a unit weight from 4.90332 to 49.0332 "
       "kN/m³ is expected: a density in kg/m³ (18 t/m³ weighs 176.52 kN/m³) or a weight in "
       "N/m³ (divide by 1000)?"},
      {"Poisson ratio of 0.5", "--profile",
       profile_of({"2,200,0.5,2,0.02", ",800,0.3,2.2,0.01"},
                  "thickness_m,vs_mps,poisson,density_t_m3,damping"),
       1, "line 2, column poisson: value 0.5: a Poisson ratio from 0 up to 0.5 is expected"},
      {"Q of zero", "--profile",
       profile_of({"2,200,400,2,0,0,20,0", ",800,1600,2.2,50,0,100,0"},
                  "thickness_m,vs_mps,vp_mps,density_t_m3,qs,fs,qp,fp"),
       1, "line 2, column qs: value 0: a quality factor of at least 0.5 (a damping ratio of at "
          "most 1) is expected"},
      {"Q far below a damping ratio of 1", "--profile",
       profile_of({"2,200,400,2,1e-30,0,20,0", ",800,1600,2.2,50,0,100,0"},
                  "thickness_m,vs_mps,vp_mps,density_t_m3,qs,fs,qp,fp"),
       1, "line 2, column qs: value 1e-30: a quality factor of at least 0.5"},
      {"Qp just below a damping ratio of 1", "--profile",
       profile_of({"2,200,400,2,20,0,0.49,0", ",800,1600,2.2,50,0,100,0"},
                  "thickness_m,vs_mps,vp_mps,density_t_m3,qs,fs,qp,fp"),
       1, "line 2, column qp: value 0.49: a quality factor of at least 0.5"},
      {"Q below 2", "--profile",
       profile_of({"2,200,400,2,0.5,0,20,0", ",800,1600,2.2,50,0,100,0"},
                  "thickness_m,vs_mps,vp_mps,density_t_m3,qs,fs,qp,fp"),
       0, "line 2, column qs: value 0.5: a quality factor below 2 is a damping ratio above 0.25"},
      {"Vs with a digit too many", "--profile", p(1, "clay,8,2200,3000,1.8,,darendeli,25"), 0,
       "line 3, column vs_mps: value 2200: Vs is more than 4 times that of the rows above and "
       "below (161.6 and 350): a digit too many?"},
      {"Vs with a digit lost", "--profile",
       profile_of({"2,800,1600,2,0.02", "3,150,400,2,0.02", ",900,1800,2.2,0.01"},
                  "thickness_m,vs_mps,vp_mps,density_t_m3,damping"),
       0,
       "line 3, column vs_mps: value 150: Vs is less than a quarter of that of the rows above "
       "and below (800 and 900): a digit lost?"},
      {"density in the unit-weight column", "--profile",
       profile_of({"2,200,400,1.68,0.02", ",800,1600,22,0.01"},
                  "thickness_m,vs_mps,vp_mps,unit_weight_kn_m3,damping"),
       1,
       "line 2, column unit_weight_kn_m3: value 1.68: a unit weight from 4.90332 to 49.0332 "
       "kN/m³ is expected: a density in t/m³ (1.68 t/m³ weighs 16.4752 kN/m³)?"},
      {"density ratio above 2", "--profile", p(2, "sand,12,350,1700,0.8,0.01,,"), 0,
       "line 4, column density_t_m3: value 0.8: the density changes by more than a factor of 2"},
  };
}

TEST(ProfileSlips, EachRefusalIsOneLineAndEachWarningLetsTheRunGoOn) {
  for (const slip& s : slips()) {
    SCOPED_TRACE(s.what);
    scratch_dir dir;
    dir.write("wave.csv", sine_record(256, 0.01f));
    dir.write("ground.csv", s.file);
    const run_result r = run_command(
        dir, {"run", "--record", "wave.csv", s.option, "ground.csv", "--out", "out", "--quiet"});
    EXPECT_EQ(r.exit_code, s.status) << r.err;
    const auto lines = lines_of(r.err);
    ASSERT_FALSE(lines.empty());
    const std::string prefix =
        s.status == 0 ? "sitewave: warning: ground.csv: " : "sitewave: ground.csv: ";
    EXPECT_EQ(lines.front().rfind(prefix, 0), 0u) << r.err;
    EXPECT_NE(lines.front().find(s.says), std::string::npos) << r.err;
    if (s.status != 0) {
      EXPECT_EQ(lines.size(), 1u) << r.err;
      EXPECT_FALSE(dir.exists("out"));
    } else {
      EXPECT_TRUE(dir.exists("out/run.json"));
    }
  }
}

TEST(ProfileSlips, CleanFilesGiveNoWarning) {
  scratch_dir dir;
  dir.write("wave.csv", sine_record(256, 0.01f));
  dir.write("profile.csv", profile_of(good_rows));
  dir.write("soil.csv", soil_of(4, good_soil));
  for (const char* option : {"--profile", "--soil"}) {
    const run_result r =
        run_command(dir, {"run", "--record", "wave.csv", option,
                          std::string(option).substr(2) == "profile" ? "profile.csv" : "soil.csv",
                          "--out", std::string("out") + option, "--quiet"});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.err, "") << option;
  }
}

TEST(ProfileSlips, WithoutPVelocitiesTheVerticalIsLeftOutOnce) {
  scratch_dir dir;
  dir.write("wave.csv", sine_record(256, 0.01f));
  dir.write("profile.csv",
            "thickness_m,vs_mps,density_t_m3,damping\n10,200,1.9,0.02\n,800,2.2,0.01\n");
  const run_result r =
      run_command(dir, {"run", "--record", "wave.csv", "--profile", "profile.csv", "--out", "out"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(lines_of(r.err).size(), 1u) << r.err;
  EXPECT_NE(r.err.find("the vertical component is not computed"), std::string::npos);
  EXPECT_EQ(r.out.find("  V1 "), std::string::npos) << r.out;
  const std::string transfer = dir.read("out/transfer.csv");
  EXPECT_EQ(transfer.find("psv"), std::string::npos);
  EXPECT_NE(dir.read("out/surface.csv").find("H2"), std::string::npos);
  EXPECT_FALSE(dir.exists("out/Amp-Factors.csv"));
}

}  // namespace
}  // namespace sitewave::testing
