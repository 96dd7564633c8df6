// `sitewave run` as engineers meet it: single-component records, one peak
// value wherever a result is reported, values written as the user wrote
// them, warnings where a choice misleads, and hostile inputs (endless
// devices, a FIFO that never closes, values beyond single precision) refused
// or interrupted promptly without leaving a folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/io/json_reader.hpp"
#include "support/program_run.hpp"
#include "support/records.hpp"

namespace sitewave::testing {
namespace {

using clock_type = std::chrono::steady_clock;

class RunInPractice : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("wave.csv", sine_record(300, 0.01f));
    dir.write("soil.csv", three_layer_soil(1));
  }

  run_result run(std::vector<std::string> extra, const std::string& record = "wave.csv") {
    std::vector<std::string> args{"run",      "--record", record, "--soil",
                                  "soil.csv", "--out",    "out",  "--force"};
    args.insert(args.end(), extra.begin(), extra.end());
    return run_command(dir, args);
  }

  double peak_in_json(const std::string& side, const std::string& component) {
    const auto run = cli::parse_json(dir.read("out/run.json"));
    return run->at({"peaks", side, component})->number;
  }

  scratch_dir dir;
};

std::string first_line(const std::string& text) {
  return text.substr(0, text.find('\n'));
}

TEST_F(RunInPractice, ATwoColumnRecordIsOneHorizontalComponent) {
  dir.write("acc.csv", "time,acc\n0,0\n0.01,0.5\n0.02,-0.25\n0.03,0.1\n0.04,0\n");
  const run_result r = run({}, "acc.csv");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("H1 only (no H2, no V1)"), std::string::npos) << r.out;
  EXPECT_EQ(first_line(dir.read("out/surface.csv")), "time_s,H1,in_H1");
  EXPECT_EQ(first_line(dir.read("out/response.csv")),
            "damping,period_s,in_H1,out_H1,ratio_H1,in_rotd50,in_rotd100,out_rotd50,out_rotd100,"
            "ratio_rotd50,location");
  EXPECT_FALSE(dir.exists("out/wave1.csv")) << "the dialogue's files need three components";
  const auto run_json = cli::parse_json(dir.read("out/run.json"));
  EXPECT_EQ(run_json->at({"peaks", "surface", "H2"}), nullptr);
  EXPECT_DOUBLE_EQ(peak_in_json("input", "H1"), 0.5);
  // The same from one .AT2 file: its header names the component.
  dir.write("h1.AT2",
            "PEER\nEvent, Station, 090\nACCELERATION IN G\nNPTS=5, DT=.01 SEC\n"
            "0 .5 -.25 .1 0\n");
  ASSERT_EQ(
      run_command(dir, {"run", "--at2", "h1.AT2", "--soil", "soil.csv", "--out", "at2"}).exit_code,
      0);
  const auto at2_json = cli::parse_json(dir.read("at2/run.json"));
  EXPECT_EQ(at2_json->at({"components", "H1"})->text, "090");
}

TEST_F(RunInPractice, EveryResultGivesTheSamePeakAndTheValuesAsWritten) {
  const run_result r = run({});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::vector<std::vector<double>> surface = numeric_rows(dir.read("out/surface.csv"));
  const std::vector<std::vector<double>> response = numeric_rows(dir.read("out/response.csv"));
  for (int c = 0; c < 3; ++c) {
    double peak = 0.0;
    for (const auto& row : surface) peak = std::max(peak, std::fabs(row[1 + c]));
    const char* names[] = {"H1", "H2", "V1"};
    EXPECT_EQ(peak_in_json("surface", names[c]), peak) << names[c];
    EXPECT_EQ(response[0][5 + c], peak) << "period 0 of out_" << names[c];
  }
  // Single-precision values as the user wrote them.
  EXPECT_EQ(lines_of(dir.read("out/surface.csv"))[2].rfind("0.01,", 0), 0u);
  EXPECT_NE(dir.read("out/run.json").find("\"dt\": 0.01,"), std::string::npos);
}

TEST_F(RunInPractice, OutputsLeavesOutWhatAStudyDoesNotRead) {
  ASSERT_EQ(run({"--outputs", "transfer,response"}).exit_code, 0);
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir / "out")) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"response.csv", "run.json", "transfer.csv"}));
  const run_result bad = run({"--outputs", "transfer,figures"});
  EXPECT_EQ(bad.exit_code, 2);
  EXPECT_NE(bad.err.find("--outputs transfer,figures: names among dialogue"), std::string::npos);
}

TEST_F(RunInPractice, WarnsWhereAChoiceMisleads) {
  const struct {
    std::vector<std::string> options;
    const char* says;  // "" for no warning at all
  } cases[] = {
      {{}, ""},
      {{"--physics", "legacy"}, "--physics legacy: the dialogue's tables"},
      {{"--angle", "85"}, "incidence at 85 degrees, near grazing"},
      {{"--angle", "89.9"}, "incidence at 89.9 degrees, near grazing"},
      {{"--scale", "9.81"}, "--scale without --units"},
      {{"--scale", "9.81", "--units", "m/s2"}, ""},
  };
  for (const auto& c : cases) {
    const run_result r = run(c.options);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    if (*c.says == '\0') {
      EXPECT_EQ(r.err, "");
    } else {
      EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
      EXPECT_EQ(lines_of(r.err).size(), 1u) << r.err;
    }
  }
}

TEST_F(RunInPractice, ValuesThatCannotGiveNumbersAreRefusedOnce) {
  dir.write("huge.csv", "time,H1,H2,V1\n0,1,2,3\n0.01,1e39,2,3\n");
  dir.write("large.csv", "time,H1,H2,V1\n0,1,2,3\n0.01,100,2,3\n");
  dir.write("exponent.csv", "time,H1\n0,1\n0.01,1E1111111111111111111111111111\n");
  dir.write("fluid.csv",
            "m\n0\n1\nh\n2\nh\n1,1.8,400,20,0,200,1e-30,0,10\n2,2.2,2000,50,0,800,50,0,0\n");
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{"run", "--record", "huge.csv", "--soil", "soil.csv"}, "huge.csv: line 3: column H1: 1e39"},
      {{"run", "--record", "exponent.csv", "--soil", "soil.csv"},
       "exponent.csv: line 3: column H1: 1E1111111111111111111111111111: a value within single"},
      {{"run", "--record", "wave.csv", "--soil", "soil.csv", "--scale", "1e39"},
       "--scale 1e39: a factor within single precision"},
      {{"run", "--record", "large.csv", "--soil", "soil.csv", "--scale", "1e37"},
       "large.csv: --scale 1e+37 takes H1 of row 2 beyond single precision"},
      {{"run", "--record", "wave.csv", "--soil", "fluid.csv"}, "Qs 1e-30: a quality factor of"},
      {{"run", "--record", "wave.csv", "--soil", "soil.csv", "--angle", "89.99999999999"},
       "--angle 89.99999999999: an incidence angle from 0 up to (not including) 90 degrees"},
  };
  for (const auto& c : cases) {
    const run_result r = run_command(dir, c.args);
    EXPECT_EQ(r.exit_code, 1) << r.err;
    EXPECT_EQ(lines_of(r.err).size(), 1u) << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_FALSE(dir.exists("sitewave-out")) << c.says;
  }
}

TEST_F(RunInPractice, EndlessInputsEndPromptlyWithoutAFolder) {
  for (const char* device : {"/dev/zero", "/dev/urandom"}) {
    const auto start = clock_type::now();
    const run_result r = run({}, device);
    EXPECT_EQ(r.exit_code, 1) << device << ": " << r.err;
    EXPECT_LT(clock_type::now() - start, std::chrono::seconds(5)) << device;
    EXPECT_FALSE(dir.exists("out")) << device;
  }
  // A FIFO whose writer never writes nor closes: the run waits until interrupted.
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  const int writer = ::open((dir / "fifo").c_str(), O_RDWR);
  ASSERT_GE(writer, 0);
  const auto start = clock_type::now();
  const run_result r = interrupt_command(
      dir, {"run", "--record", "fifo", "--soil", "soil.csv", "--out", "out"}, SIGTERM,
      [start] { return clock_type::now() - start > std::chrono::seconds(1); });
  ::close(writer);
  EXPECT_EQ(r.exit_code, 128 + SIGTERM) << r.err;
  EXPECT_LT(clock_type::now() - start, std::chrono::seconds(3));
  EXPECT_FALSE(dir.exists("out"));
}

}  // namespace
}  // namespace sitewave::testing
