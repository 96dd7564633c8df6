// A suite through `sitewave batch`: every case runs in its own process, a
// refusal in one never stops the others, and summary.csv says how each case
// ended, with the values its run recorded.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/batch/batch_files.hpp"
#include "cli/io/file_io.hpp"
#include "cli/io/json_reader.hpp"

namespace sitewave::testing {
namespace {

namespace fs = std::filesystem;

std::string at2_file(const std::string& component, double amplitude) {
  std::string text = "PEER NGA STRONG MOTION DATABASE RECORD\nTest event, ";
  text += component;
  text += "\nACCELERATION TIME SERIES IN UNITS OF G\nNPTS=  200, DT= .0100 SEC\n";
  for (int i = 0; i < 200; ++i) text += std::to_string(amplitude * ((i % 20) - 10) / 10.0) + "\n";
  return text;
}

// Twelve cases: nine sound ones over two records and two ground models, a
// record the run refuses, a ground model with a refused row and a record
// file that does not exist.
void write_dozen(const scratch_dir& dir) {
  fs::create_directories(dir / "inputs/records");
  dir.write("inputs/records/wave.csv", sine_record(300, 0.01f));
  dir.write("inputs/records/text.csv", "time,H1,H2,V1\n0,1,2,3\n0.01,1,two,3\n0.02,1,2,3\n");
  dir.write("inputs/records/h1.AT2", at2_file("H1", 0.2));
  dir.write("inputs/records/h2.AT2", at2_file("H2", 0.1));
  dir.write("inputs/records/v.AT2", at2_file("V", 0.05));
  dir.write("inputs/layers.csv", three_layer_soil(1));
  dir.write("inputs/rock.csv", half_space_soil(1));
  dir.write("inputs/vp_below_vs.csv",
            "title\n30\n1\nx\n2\nx\n1,2,500,50,0,800,50,0,10\n2,2,900,50,0,800,50,0,0\n");
  dir.write("inputs/suite.csv",
            "case,record,at2,soil,angle,input,motion,filter,scale,physics\n"
            "base,records/wave.csv,,layers.csv,,,,,,\n"
            "angle40,records/wave.csv,,layers.csv,40,,,,,\n"
            "outcrop,records/wave.csv,,layers.csv,,outcrop,,,,\n"
            "velocity,records/wave.csv,,layers.csv,,,integrate,,,\n"
            "filtered,records/wave.csv,,layers.csv,,,,\"0.2,0.5,10,20\",,\n"
            "bad-record,records/text.csv,,layers.csv,,,,,,\n"
            "rock,records/wave.csv,,rock.csv,,,,,,\n"
            "bad-soil,records/wave.csv,,vp_below_vs.csv,,,,,,\n"
            "peer,,\"records/h1.AT2,records/h2.AT2,records/v.AT2\",layers.csv,,,,,9.81,\n"
            "exact,records/wave.csv,,layers.csv,20,,,,,exact\n"
            "no-file,records/nowhere.csv,,layers.csv,,,,,,\n"
            "scaled,records/wave.csv,,layers.csv,,,,,2,\n");
}

TEST(BatchSuite, RunsEveryCaseAndSaysHowEachEnded) {
  const scratch_dir dir;
  write_dozen(dir);
  const run_result r =
      run_command(dir, {"batch", "inputs/suite.csv", "--out", "results", "-j", "3"});
  EXPECT_EQ(r.exit_code, 1) << r.err;
  EXPECT_NE(r.out.find("12 cases: 9 ok, 3 refused; summary in"), std::string::npos) << r.out;
  // A warning for the missing file, then one line per finished case.
  const std::vector<std::string> err = lines_of(r.err);
  ASSERT_EQ(err.size(), 13u) << r.err;
  EXPECT_NE(err[0].find("warning: inputs/suite.csv line 12: record file"), std::string::npos);
  EXPECT_NE(err[0].find("nowhere.csv does not exist; 1 case using it will be refused"),
            std::string::npos);

  const auto rows = table_rows(dir.read("results/summary.csv"));
  const std::vector<std::string> order{"base",     "angle40",    "outcrop", "velocity",
                                       "filtered", "bad-record", "rock",    "bad-soil",
                                       "peer",     "exact",      "no-file", "scaled"};
  ASSERT_EQ(rows.size(), order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    const summary_row& row = rows[i];
    EXPECT_EQ(row.at("case"), order[i]);
    EXPECT_FALSE(row.at("wall_s").empty());
    const bool refused =
        order[i] == "bad-record" || order[i] == "bad-soil" || order[i] == "no-file";
    EXPECT_EQ(row.at("status"), refused ? "refused" : "ok") << order[i] << ": " << row.at("error");
    EXPECT_EQ(dir.exists("results/" + order[i]), !refused) << order[i];
    if (refused) {
      EXPECT_TRUE(row.at("peak_in_H1").empty());
      continue;
    }
    EXPECT_TRUE(row.at("error").empty());
    // The peaks are those the case's run.json records.
    const auto run = cli::parse_json(dir.read("results/" + order[i] + "/run.json"));
    ASSERT_TRUE(run.has_value());
    EXPECT_DOUBLE_EQ(std::stod(row.at("peak_out_H2")), run->at({"peaks", "surface", "H2"})->number);
    EXPECT_DOUBLE_EQ(std::stod(row.at("peak_in_V1")), run->at({"peaks", "input", "V1"})->number);
  }
  EXPECT_NE(rows[5].at("error").find("text.csv: line 3: column H2: \"two\": a number is expected"),
            std::string::npos)
      << rows[5].at("error");
  EXPECT_NE(rows[7].at("error").find("vp_below_vs.csv: line 7: layer row 1, Vp 500"),
            std::string::npos);
  EXPECT_NE(rows[10].at("error").find("nowhere.csv: No such file or directory"), std::string::npos);
  EXPECT_FLOAT_EQ(std::stof(rows[11].at("peak_in_H1")), 2 * std::stof(rows[0].at("peak_in_H1")));
  // Each case ran single-threaded, and nothing but the case folders, the
  // summary and the batch's notes is left.
  const auto base = cli::parse_json(dir.read("results/base/run.json"));
  EXPECT_EQ(base->find("threads")->number, 1);
  const std::vector<std::string> left = entries_of(dir / "results");
  EXPECT_EQ(left.size(), 9u + 2u) << "no staging folders";
}

// The process ids whose parent is `parent`, from /proc.
std::vector<pid_t> children_of(pid_t parent) {
  std::vector<pid_t> found;
  for (const auto& e : fs::directory_iterator("/proc")) {
    std::ifstream stat(e.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    // pid (name) state ppid ...: the name may hold spaces, so read after the last ')'.
    const auto close = line.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    int ppid = 0;
    if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == parent) {
      found.push_back(std::stoi(e.path().filename().string()));
    }
  }
  return found;
}

bool staging_in(const fs::path& folder) {
  if (!fs::exists(folder)) return false;
  for (const std::string& name : entries_of(folder)) {
    if (name.find(".staging-") != std::string::npos) return true;
  }
  return false;
}

TEST(BatchSuite, ACaseThatCrashesFailsAloneAndLeavesNothingBehind) {
  const scratch_dir dir;
  write_sound_suite(dir, 3, 4000);
  dir.write("soil_dat.csv", deep_soil(40));
  const pid_t batch = start_as_job(dir, {"batch", "suite.csv", "--out", "results", "-j", "1"});
  // Kill the first case while its results are being staged, as a crash would end it.
  bool killed = false;
  for (int waited = 0; waited < 5000 && !killed; ++waited) {
    if (staging_in(dir / "results")) {
      for (const pid_t child : children_of(batch)) killed = ::kill(child, SIGKILL) == 0 || killed;
    }
    if (!killed) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  int status = 0;
  ASSERT_EQ(waitpid(batch, &status, 0), batch);
  ASSERT_TRUE(killed);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  const auto rows = table_rows(dir.read("results/summary.csv"));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].at("status"), "failed");
  EXPECT_EQ(rows[0].at("error"), "ended by signal 9 (Killed)");
  EXPECT_EQ(rows[1].at("status"), "ok");
  EXPECT_EQ(rows[2].at("status"), "ok");
  EXPECT_FALSE(staging_in(dir / "results")) << "the batch removes what the killed run left";
  EXPECT_FALSE(dir.exists("results/c1"));
}

TEST(BatchSuite, RefusesAManifestWithADuplicateCaseAndRunsNothing) {
  const scratch_dir dir;
  write_sound_suite(dir, 3);
  dir.write("suite.csv", dir.read("suite.csv") + "c2,wave.csv,soil_dat.csv,10\n");
  const run_result r = run_command(dir, {"batch", "suite.csv", "--out", "results"});
  EXPECT_EQ(r.exit_code, 1);
  const std::vector<std::string> err = lines_of(r.err);
  ASSERT_EQ(err.size(), 2u) << r.err;
  EXPECT_EQ(err[0],
            "sitewave: suite.csv line 5: column case, value \"c2\": a name used once is "
            "expected; line 3 has it already");
  EXPECT_EQ(err[1], "sitewave: suite.csv: manifest refused (1 problem); no case was run");
  EXPECT_FALSE(dir.exists("results"));
}

TEST(BatchSuite, UsageErrorsEndWithStatusTwo) {
  const scratch_dir dir;
  write_sound_suite(dir, 2);
  const auto usage = [&dir](std::vector<std::string> args, const std::string& says) {
    args.insert(args.begin(), "batch");
    const run_result r = run_command(dir, args);
    EXPECT_EQ(r.exit_code, 2) << says;
    EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
  };
  usage({"--out", "o"}, "batch takes one manifest");
  usage({"suite.csv"}, "batch needs --out DIR");
  usage({"suite.csv", "--out", "o", "-j", "0"}, "--jobs 0: a whole number");
  usage({"suite.csv", "--out", "o", "--shard", "3/3"}, "--shard 3/3: K/M with whole numbers");
  usage({"suite.csv", "--out", "o", "--shard", "1"}, "--shard 1: K/M");
  usage({"suite.csv", "--out", "o", "--colour"}, "unknown option --colour");
  usage({"suite.csv", "--list", "--summary-only"}, "either --list or --summary-only");
  EXPECT_FALSE(dir.exists("o"));
  const run_result missing = run_command(dir, {"batch", "nothing.csv", "--out", "o"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.err.find("nothing.csv: No such file or directory"), std::string::npos);
}

}  // namespace
}  // namespace sitewave::testing
