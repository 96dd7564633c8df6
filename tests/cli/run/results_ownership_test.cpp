// What --force may replace: only a folder of sitewave's own results. The
// folder holding the inputs, one above it, the current folder and anything
// with files of the user's are refused before any work, with or without
// --force, in a run and in a batch; every file of the user's survives.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/batch/batch_files.hpp"
#include "support/program_run.hpp"
#include "support/records.hpp"

namespace sitewave::testing {
namespace {

namespace fs = std::filesystem;

class ResultsOwnership : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(dir / "inputs");
    dir.write("inputs/wave.csv", sine_record(200, 0.01f));
    dir.write("inputs/soil.csv", three_layer_soil(1));
    dir.write("thesis.tex", "chapter one");
  }

  // `run --force` into `out`, started in the folder `from` (below the scratch folder).
  run_result run(const std::string& out, const std::string& from = ".") {
    const std::string in = from == "." ? "inputs/" : "";
    std::string line = "cd '" + from + "' && exec " SITEWAVE_BIN " run --quiet --force";
    line += " --record " + in + "wave.csv --soil " + in + "soil.csv --out '" + out + "'";
    return run_command(dir, {"-c", line}, {}, "/bin/sh");
  }

  void expect_inputs_kept() {
    EXPECT_EQ(dir.read("thesis.tex"), "chapter one");
    EXPECT_EQ(dir.read("inputs/wave.csv"), sine_record(200, 0.01f));
    EXPECT_EQ(dir.read("inputs/soil.csv"), three_layer_soil(1));
  }

  scratch_dir dir;
};

TEST_F(ResultsOwnership, FoldersHoldingInputsOrTheCurrentFolderAreNeverReplaced) {
  struct refusal {
    std::string out, from, says;
  };
  const std::vector<refusal> cases{
      {"inputs", ".", "holds"},
      {".", ".", "is the current folder"},
      {dir.path().parent_path().string(), ".", "holds the current folder"},
      {".", "inputs", ""},
      {"..", "inputs", ""},
  };
  for (const refusal& c : cases) {
    const run_result r = run(c.out, c.from);
    EXPECT_EQ(r.exit_code, 1) << c.out << " from " << c.from;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    if (!c.says.empty()) {
      EXPECT_NE(r.err.find("never replaced"), std::string::npos) << r.err;
    }
    expect_inputs_kept();
  }
  EXPECT_EQ(entries_of(dir.path()), (std::vector<std::string>{"inputs", "thesis.tex"}));
}

TEST_F(ResultsOwnership, ForceReplacesOnlySitewaveResults) {
  ASSERT_EQ(run("out").exit_code, 0);
  fs::create_directory(dir / "out/plots");
  dir.write("out/plots/response.png", "figure");
  dir.write("out/surface.csv", "earlier");
  ASSERT_EQ(run("out").exit_code, 0);  // results and figures: replaced
  EXPECT_NE(dir.read("out/surface.csv"), "earlier");
  EXPECT_FALSE(dir.exists("out/plots"));

  dir.write("out/notes.txt", "mine");
  const run_result foreign = run("out");
  EXPECT_EQ(foreign.exit_code, 1);
  EXPECT_NE(foreign.err.find("out: holds what sitewave does not write there (notes.txt)"),
            std::string::npos)
      << foreign.err;
  EXPECT_EQ(dir.read("out/notes.txt"), "mine");

  fs::create_directory(dir / "theirs");
  dir.write("theirs/run.json", R"({"program": "another"})");
  EXPECT_NE(run("theirs").err.find("holds no run.json written by sitewave"), std::string::npos);
  EXPECT_TRUE(dir.exists("theirs/run.json"));
  expect_inputs_kept();
}

TEST_F(ResultsOwnership, ASymbolicLinkIsFollowedNotReplaced) {
  fs::create_directory(dir / "real");
  fs::create_directory_symlink("real", dir / "link");
  ASSERT_EQ(run("link").exit_code, 0);
  ASSERT_EQ(run("link").exit_code, 0);  // and again, replacing the results it holds
  EXPECT_TRUE(fs::is_symlink(dir / "link"));
  EXPECT_TRUE(dir.exists("real/run.json"));
  fs::create_directory_symlink("inputs", dir / "to_inputs");
  EXPECT_EQ(run("to_inputs").exit_code, 1);
  expect_inputs_kept();
}

TEST_F(ResultsOwnership, AStagingFolderOfAnEndedRunIsRemoved) {
  // pid 1 never started at tick 0; a live owner's folder (this process) stays.
  fs::create_directory(dir / ".out.staging-1-0-17");
  dir.write(".out.staging-1-0-17/surface.csv", "half written");
  fs::create_directory(dir / ".out.staging-1-0-18");
  dir.write(".out.staging-1-0-18/mine.txt", "not a result");
  ASSERT_EQ(run("out").exit_code, 0);
  EXPECT_FALSE(dir.exists(".out.staging-1-0-17"));
  EXPECT_TRUE(dir.exists(".out.staging-1-0-18/mine.txt"));
}

TEST_F(ResultsOwnership, ABatchKeepsCaseFoldersAndSummariesThatAreNotItsOwn) {
  dir.write("inputs/suite.csv",
            "case,record,soil\ninputs,wave.csv,soil.csv\nc2,wave.csv,soil.csv\n");
  const run_result r =
      run_command(dir, {"batch", "inputs/suite.csv", "--out", ".", "--force", "-j", "1"});
  EXPECT_EQ(r.exit_code, 1) << r.err;
  const auto rows = table_rows(dir.read("summary.csv"));
  EXPECT_EQ(rows[0].at("status"), "refused");
  EXPECT_NE(rows[0].at("error").find("an input of this run"), std::string::npos);
  EXPECT_EQ(rows[1].at("status"), "ok");
  expect_inputs_kept();
  // What a batch killed whole left beside a finished case goes on the next run.
  fs::create_directory(dir / ".c2.staging-1-0-5");
  dir.write(".c2.staging-1-0-5/wave1.csv", "half written");
  run_command(dir, {"batch", "inputs/suite.csv", "--out", "."});
  EXPECT_FALSE(dir.exists(".c2.staging-1-0-5"));

  fs::create_directory(dir / "study");
  dir.write("study/summary.csv", "my own table");
  const run_result mine = run_command(dir, {"batch", "inputs/suite.csv", "--out", "study"});
  EXPECT_EQ(mine.exit_code, 1);
  EXPECT_NE(mine.err.find("not a summary written by sitewave batch"), std::string::npos);
  EXPECT_EQ(dir.read("study/summary.csv"), "my own table");
}

}  // namespace
}  // namespace sitewave::testing
