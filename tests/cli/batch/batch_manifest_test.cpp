// Reading a batch manifest: each row becomes the options of its run with
// paths taken from the manifest's folder, and every problem of every row is
// found at once, each on one line that names the line, column and value.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/batch/manifest.hpp"
#include "support/program_run.hpp"

namespace sitewave::cli {
namespace {

using testing::scratch_dir;

manifest read(const scratch_dir& dir, const std::string& text) {
  dir.write("suite.csv", text);
  return read_manifest(dir / "suite.csv");
}

bool has(const std::vector<std::string>& v, const std::string& item) {
  return std::find(v.begin(), v.end(), item) != v.end();
}

// The one problem line that mentions `part`, or "".
std::string problem_with(const manifest& m, const std::string& part) {
  std::string found;
  for (const std::string& p : m.problems) {
    if (p.find(part) == std::string::npos) continue;
    EXPECT_TRUE(found.empty()) << "twice: " << part;
    found = p;
  }
  return found;
}

TEST(BatchManifest, TurnsRowsIntoRunOptionsWithPathsFromItsFolder) {
  const scratch_dir dir;
  const std::string base = dir.path().string();
  const manifest m = read(dir,
                          "case,record,at2,soil,angle,filter,periods\n"
                          "near-1,rec/a.csv,,soils/best.csv,30,\"0.1,0.2,20,25\",\n"
                          "far_2.x,,\"h1.AT2, h2.AT2 ,/abs/v.AT2\",,,,\"0.1,1\"\n"
                          "plain,a.csv,,,,,periods.txt\n");
  ASSERT_TRUE(m.problems.empty()) << m.problems.front();
  ASSERT_EQ(m.cases.size(), 3u);
  EXPECT_EQ(m.cases[0].name, "near-1");
  EXPECT_EQ(m.cases[0].line, 2);
  EXPECT_EQ(m.cases[0].options, (std::vector<std::string>{"--record=" + base + "/rec/a.csv",
                                                          "--soil=" + base + "/soils/best.csv",
                                                          "--angle=30", "--filter=0.1,0.2,20,25"}));
  const auto& far = m.cases[1].options;
  EXPECT_TRUE(has(far, "--at2=" + base + "/h1.AT2," + base + "/h2.AT2,/abs/v.AT2"));
  EXPECT_TRUE(has(far, "--soil=" + base + "/soil_dat.csv")) << "the run default, from the folder";
  EXPECT_TRUE(has(far, "--periods=0.1,1")) << "a list of periods is no path";
  EXPECT_TRUE(has(m.cases[2].options, "--periods=" + base + "/periods.txt"));
}

TEST(BatchManifest, ReportsEveryBadRowAndRunsNone) {
  const scratch_dir dir;
  const manifest m = read(dir,
                          "case,record,at2,angle,filter,motion\n"
                          "a,w.csv,,95,,\n"
                          "b,w.csv,,,\"1,2,3\",\n"
                          "a,w.csv,,,,\n"
                          ".hidden,w.csv,,,,\n"
                          "c,,,,,\n"
                          "d,w.csv,\"x,y,z\",,,\n"
                          "e,w.csv,,,,twice\n"
                          "f,w.csv\n"
                          "ok,w.csv,,10,,\n");
  EXPECT_EQ(m.cases.size(), 1u);  // the sound row; the batch runs none of them
  EXPECT_EQ(m.problems.size(), 8u);
  const std::string file = (dir / "suite.csv").string();
  EXPECT_EQ(problem_with(m, "value \"95\""),
            file +
                " line 2 (case a): column angle, value \"95\": an incidence angle from 0 up "
                "to (not including) 90 degrees is expected");
  EXPECT_NE(problem_with(m, "line 3 (case b): column filter, value \"1,2,3\""), "");
  EXPECT_EQ(problem_with(m, "line 4"),
            file +
                " line 4: column case, value \"a\": a name used once is expected; line 2 "
                "has it already");
  EXPECT_NE(problem_with(m, "line 5: column case, value \".hidden\""), "");
  EXPECT_NE(problem_with(m, "line 6 (case c): column record, value (empty)"), "");
  EXPECT_NE(problem_with(m, "line 7 (case d): column at2, value \"x,y,z\": give either"), "");
  EXPECT_NE(problem_with(m, "line 8 (case e): column motion, value \"twice\""), "");
  EXPECT_NE(problem_with(m, "line 9: 2 cells where the header has 6 columns"), "");
}

TEST(BatchManifest, ReportsEveryBadCellOfARow) {
  const scratch_dir dir;
  const manifest m = read(dir, "case,record,damping,smoothing\nx,w.csv,2,-1\n");
  EXPECT_EQ(m.problems.size(), 2u);
  EXPECT_NE(problem_with(m, "column damping, value \"2\""), "");
  EXPECT_NE(problem_with(m, "column smoothing, value \"-1\""), "");
  EXPECT_NE(problem_with(read(dir, "case,recrod\nx,w.csv\n"), "did you mean record?"), "");
}

TEST(BatchManifest, AcceptsOnlyTheColumnsARunCanTake) {
  const scratch_dir dir;
  const manifest m = read(dir, "record,colour,out,threads,record\nw.csv,red,o,2,w.csv\n");
  EXPECT_TRUE(m.cases.empty());
  EXPECT_NE(problem_with(m, "column \"colour\": one of the columns case, record, at2, soil"), "");
  EXPECT_NE(problem_with(m, "column \"out\": another column is expected: the batch sets --out"),
            "");
  EXPECT_NE(problem_with(m, "column \"threads\""), "");
  EXPECT_NE(problem_with(m, "column \"record\": each column once"), "");
  EXPECT_NE(problem_with(m, "a column named case is expected"), "");
}

TEST(BatchManifest, CaseNamesAreSafeFolderNames) {
  const scratch_dir dir;
  std::string text = "case,record\n";
  for (const char* name : {"../up", "a/b", "with space", "summary.csv", "summary-0-of-2.csv",
                           "caf\xC3\xA9", "-dash-first_is.fine"}) {
    text += std::string(name) + ",w.csv\n";
  }
  text += std::string(201, 'n') + ",w.csv\n";
  const manifest m = read(dir, text);
  EXPECT_EQ(m.problems.size(), 7u);
  ASSERT_EQ(m.cases.size(), 1u);
  EXPECT_EQ(m.cases[0].name, "-dash-first_is.fine");
}

TEST(BatchManifest, RefusesATableWithoutCases) {
  const scratch_dir dir;
  EXPECT_NE(problem_with(read(dir, ""), "the manifest is empty"), "");
  EXPECT_NE(problem_with(read(dir, "case,record\n\n"), "no case follows the header row"), "");
  EXPECT_NE(
      problem_with(read(dir, "case,record\na,\"w.csv\n"), "line 2: a quoted cell is not closed"),
      "");
}

}  // namespace
}  // namespace sitewave::cli
