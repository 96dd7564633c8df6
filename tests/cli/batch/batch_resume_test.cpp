// Running a batch again goes on where it stopped: an interrupted batch
// leaves every finished case and a consistent summary, and the next run does
// each remaining case exactly once; changed inputs run again, --force runs all.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "cli/batch/batch_files.hpp"

namespace sitewave::testing {
namespace {

namespace fs = std::filesystem;

// The case names a batch reported as finished (one plain line each).
std::vector<std::string> cases_run(const run_result& r) {
  std::vector<std::string> names;
  for (const std::string& line : lines_of(r.err)) {
    if (!line.starts_with("[")) continue;
    const auto start = line.find("] ") + 2;
    names.push_back(line.substr(start, line.find(' ', start) - start));
  }
  return names;
}

// Which run.json file each finished case folder holds (its inode): a case
// run again gets a new one. Hidden staging folders of running cases hold a
// run.json before they are put in place and do not count.
std::map<std::string, ino_t> finished_cases(const fs::path& results) {
  std::map<std::string, ino_t> found;
  if (!fs::exists(results)) return found;
  for (const auto& e : fs::directory_iterator(results)) {
    if (e.path().filename().string().starts_with(".")) continue;
    struct stat st {};
    if (::stat((e.path() / "run.json").c_str(), &st) == 0) found[e.path().filename()] = st.st_ino;
  }
  return found;
}

TEST(BatchResume, AnInterruptedBatchGoesOnWhereItStopped) {
  for (const int sig : {SIGINT, SIGTERM}) {
    const scratch_dir dir;
    write_sound_suite(dir, 12, 4000);
    dir.write("soil_dat.csv", deep_soil(40));  // so that the batch is caught halfway
    const std::vector<std::string> batch{"batch", "suite.csv", "--out", "results", "-j", "2"};
    const run_result first = interrupt_command(
        dir, batch, sig, [&dir] { return finished_cases(dir / "results").size() >= 3; });
    ASSERT_EQ(first.exit_code, 128 + sig) << first.err;
    EXPECT_NE(first.err.find("batch interrupted by signal"), std::string::npos);
    const std::map<std::string, ino_t> before = finished_cases(dir / "results");
    ASSERT_GE(before.size(), 3u);
    ASSERT_LT(before.size(), 12u) << "the batch ended before the interrupt";

    // The summary is whole: every case, ok exactly where a folder is finished.
    const auto rows = table_rows(dir.read("results/summary.csv"));
    ASSERT_EQ(rows.size(), 12u);
    for (const summary_row& row : rows) {
      const bool done = before.contains(row.at("case"));
      EXPECT_EQ(row.at("status") == "ok", done) << row.at("case") << " " << row.at("status");
      if (!done) {
        EXPECT_TRUE(row.at("status") == "interrupted" || row.at("status") == "pending");
      }
    }
    for (const std::string& name : entries_of(dir / "results")) {
      EXPECT_EQ(name.find("staging"), std::string::npos) << name;
      EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
    }

    const run_result second = run_command(dir, batch);
    ASSERT_EQ(second.exit_code, 0) << second.err;
    EXPECT_NE(second.out.find("12 ok (" + std::to_string(before.size()) + " from earlier runs)"),
              std::string::npos)
        << second.out;
    // Every case done exactly once over the two runs.
    const std::map<std::string, ino_t> after = finished_cases(dir / "results");
    ASSERT_EQ(after.size(), 12u);
    for (const auto& [name, inode] : before) EXPECT_EQ(after.at(name), inode) << name;
    std::set<std::string> second_run;
    for (const std::string& name : cases_run(second)) {
      EXPECT_FALSE(before.contains(name)) << name << " ran again";
      EXPECT_TRUE(second_run.insert(name).second) << name << " ran twice";
    }
    EXPECT_EQ(second_run.size() + before.size(), 12u);
    for (const summary_row& row : table_rows(dir.read("results/summary.csv"))) {
      EXPECT_EQ(row.at("status"), "ok");
      EXPECT_FALSE(row.at("wall_s").empty()) << "kept from the run that did the case";
      EXPECT_FALSE(row.at("peak_out_H1").empty());
    }
  }
}

TEST(BatchResume, CtrlCAtATerminalStopsTheRunningCasesAsInterruptedNotFailed) {
  const scratch_dir dir;
  write_sound_suite(dir, 8, 4000);
  dir.write("soil_dat.csv", deep_soil(40));
  const pid_t batch = start_as_job(dir, {"batch", "suite.csv", "--out", "results", "-j", "2"});
  setpgid(batch, batch);  // whichever of the two runs first
  for (int waited = 0; waited < 4000 && finished_cases(dir / "results").size() < 2; ++waited) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ::kill(-batch, SIGINT);  // the whole job: the batch and its running cases
  int status = 0;
  ASSERT_EQ(waitpid(batch, &status, 0), batch);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130);
  for (const summary_row& row : table_rows(dir.read("results/summary.csv"))) {
    EXPECT_NE(row.at("status"), "failed") << row.at("case") << ": " << row.at("error");
    EXPECT_NE(row.at("status"), "refused") << row.at("case") << ": " << row.at("error");
  }
  EXPECT_EQ(run_command(dir, {"batch", "suite.csv", "--out", "results"}).exit_code, 0);
}

TEST(BatchResume, RunsAgainWhatChangedAndEverythingWhenForced) {
  const scratch_dir dir;
  write_sound_suite(dir, 4);
  dir.write("other_soil.csv", three_layer_soil(1));
  std::string manifest = dir.read("suite.csv");
  manifest.replace(manifest.find("c4,wave.csv,soil_dat.csv"), 24, "c4,wave.csv,other_soil.csv");
  dir.write("suite.csv", manifest);
  const std::vector<std::string> batch{"batch", "suite.csv", "--out", "results"};
  ASSERT_EQ(run_command(dir, batch).exit_code, 0);

  const run_result again = run_command(dir, batch);
  EXPECT_EQ(again.exit_code, 0);
  EXPECT_TRUE(cases_run(again).empty()) << again.err;

  // Touching an input changes nothing; editing one reruns the cases that use it.
  fs::last_write_time(dir / "wave.csv", fs::file_time_type::clock::now());
  EXPECT_TRUE(cases_run(run_command(dir, batch)).empty());
  dir.write("other_soil.csv", half_space_soil(1));
  EXPECT_EQ(cases_run(run_command(dir, batch)), std::vector<std::string>{"c4"});
  // So does a changed option.
  manifest.replace(manifest.find("c2,wave.csv,soil_dat.csv,5"), 26, "c2,wave.csv,soil_dat.csv,6");
  dir.write("suite.csv", manifest);
  EXPECT_EQ(cases_run(run_command(dir, batch)), std::vector<std::string>{"c2"});

  std::vector<std::string> forced = batch;
  forced.push_back("--force");
  const run_result all = run_command(dir, forced);
  EXPECT_EQ(all.exit_code, 0);
  EXPECT_EQ(cases_run(all).size(), 4u);
}

TEST(BatchResume, NeverReplacesAFolderThatIsNotResults) {
  const scratch_dir dir;
  write_sound_suite(dir, 2);
  fs::create_directories(dir / "results/c1");
  dir.write("results/c1/notes.txt", "mine");
  const run_result r = run_command(dir, {"batch", "suite.csv", "--out", "results"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(dir.read("results/c1/notes.txt"), "mine");
  const auto rows = table_rows(dir.read("results/summary.csv"));
  EXPECT_EQ(rows[0].at("status"), "refused");
  EXPECT_NE(rows[0].at("error").find("holds what sitewave does not write there (notes.txt)"), std::string::npos);
  EXPECT_EQ(rows[1].at("status"), "ok");
}

}  // namespace
}  // namespace sitewave::testing
