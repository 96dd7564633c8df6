// What `sitewave run` refuses: usage errors end with status 2, unusable
// input with status 1, each with one line naming the option or the file;
// and no refusal, failure or interrupt ever leaves a partial results folder
// or touches an existing one.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "support/program_run.hpp"
#include "support/records.hpp"

namespace sitewave::testing {
namespace {

namespace fs = std::filesystem;

class RunRefusals : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("wave.csv", sine_record(200, 0.01f));
    dir.write("soil_dat.csv", three_layer_soil(1));
  }

  // Runs `run` with the record, the soil file and the extra arguments.
  run_result run(std::vector<std::string> extra) {
    std::vector<std::string> args{"run", "--record", "wave.csv"};
    args.insert(args.end(), extra.begin(), extra.end());
    return run_command(dir, args);
  }

  // Only the inputs are left in the folder: no results, no staging folder.
  void expect_nothing_written() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"soil_dat.csv", "wave.csv"}));
  }

  scratch_dir dir;
};

// One line on standard error that contains `says`.
void expect_one_line(const run_result& r, int status, const std::string& says) {
  EXPECT_EQ(r.exit_code, status) << r.err;
  EXPECT_EQ(lines_of(r.err).size(), 1u) << r.err;
  EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
}

TEST_F(RunRefusals, UsageErrorsNameTheWordAndEndWithStatusTwo) {
  expect_one_line(run_command(dir, {"frobnicate"}), 2, "unknown subcommand frobnicate");
  expect_one_line(run_command(dir, {"--frobnicate"}), 2, "unknown option --frobnicate");
  expect_one_line(run({"--colour", "red"}), 2, "unknown option --colour");
  expect_one_line(run({"--out"}), 2, "--out needs a value");
  expect_one_line(run({"--input", "bedrock"}), 2, "incident, within or outcrop");
  expect_one_line(run({"--motion", "double"}), 2, "none, integrate or differentiate");
  expect_one_line(run({"--physics", "best"}), 2, "legacy or exact");
  expect_one_line(run({"--angle", "thirty"}), 2, "--angle thirty: a number is expected");
  expect_one_line(run({"--filter", "1,2,3"}), 2, "four corner frequencies");
  expect_one_line(run({"--force=yes"}), 2, "--force takes no value");
  expect_one_line(run({"--soil", "a", "--soil", "b"}), 2, "--soil is given twice");
  expect_one_line(run_command(dir, {"run", "--soil", "soil_dat.csv"}), 2, "a record is needed");
  expect_one_line(run({"--at2", "a,b,c"}), 2, "either --record or --at2");
  EXPECT_EQ(run_command(dir, {"--version"}).out.rfind("sitewave ", 0), 0u);
  expect_nothing_written();
}

TEST_F(RunRefusals, UnusableInputEndsWithStatusOne) {
  expect_one_line(run({"--filter", "1,0.5,20,25"}), 1, "0 <= F1 <= F2 <= F3 <= F4 and F1 < F4");
  expect_one_line(run({"--filter", "5,5,5,5"}), 1, "F1 < F4");
  expect_one_line(run({"--angle", "90"}), 1, "--angle 90");
  expect_one_line(run({"--angle", "-1"}), 1, "--angle -1");
  expect_one_line(run({"--soil", "missing.csv"}), 1, "missing.csv: No such file or directory");
  dir.write("short.csv", "time,H1,H2,V1\n0,1,2,3\n");
  expect_one_line(run_command(dir, {"run", "--record", "short.csv"}), 1,
                  "short.csv: record refused: it has 1 complete rows");
  dir.write("text.csv", "time,H1,H2,V1\n0,1,2,3\n0.01,1,two,3\n");
  expect_one_line(run_command(dir, {"run", "--record", "text.csv"}), 1,
                  "text.csv: line 3: column H2: \"two\": a number is expected");
  dir.write("bad_soil.csv", "title\n30\n3\nx\n1\nx\n1,2,2000,50,0,800,50,0,0\n");
  expect_one_line(run({"--soil", "bad_soil.csv"}), 1, "bad_soil.csv: line 3: input wave type 3");
  dir.write("bad_soil.csv",
            "title\n30\n1\nx\n2\nx\n1,2,500,50,0,800,50,0,10\n2,2,900,50,0,800,50,0,0\n");
  expect_one_line(run({"--soil", "bad_soil.csv"}), 1, "line 7: layer row 1, Vp 500");
  fs::remove(dir / "short.csv");
  fs::remove(dir / "text.csv");
  fs::remove(dir / "bad_soil.csv");
  expect_nothing_written();
}

TEST_F(RunRefusals, ExistingResultsAreKeptUnlessForced) {
  ASSERT_EQ(run({"--out", "out"}).exit_code, 0);
  dir.write("out/surface.csv", "earlier results");
  expect_one_line(run({"--out", "out"}), 1, "exists and is not empty; use --force");
  EXPECT_EQ(dir.read("out/surface.csv"), "earlier results");
  // A bad input with --force still leaves the folder as it was.
  EXPECT_EQ(run({"--out", "out", "--force", "--soil", "missing.csv"}).exit_code, 1);
  EXPECT_EQ(dir.read("out/surface.csv"), "earlier results");
  ASSERT_EQ(run({"--out", "out", "--force"}).exit_code, 0);
  EXPECT_NE(dir.read("out/surface.csv"), "earlier results");
  // An empty folder is filled without --force.
  fs::create_directory(dir / "empty");
  EXPECT_EQ(run({"--out", "empty"}).exit_code, 0);
  EXPECT_TRUE(dir.exists("empty/surface.csv"));
  // A file in the way is never replaced.
  dir.write("file", "x");
  expect_one_line(run({"--out", "file", "--force"}), 1, "exists and is not a folder");
  EXPECT_EQ(dir.read("file"), "x");
}

TEST_F(RunRefusals, AnUnwritableFolderFailsWithoutPartialResults) {
  if (geteuid() == 0) {
    // Permissions do not bind root: use a parent that is a file instead.
    dir.write("parent", "x");
    expect_one_line(run({"--out", "parent/out"}), 1, "parent");
  } else {
    fs::create_directory(dir / "locked");
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    expect_one_line(run({"--out", "locked/out"}), 1, "locked");
    EXPECT_TRUE(fs::is_empty(dir / "locked"));
  }
}

}  // namespace
}  // namespace sitewave::testing
