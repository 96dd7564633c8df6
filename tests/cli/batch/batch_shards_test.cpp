// Sharing a batch out: --shard K/M takes the cases whose index modulo M is
// K, so the shards together run each case exactly once into one results
// folder, and --summary-only then collects the same summary the whole batch
// writes. GNU parallel does the sharing here as it would across machines.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/batch/batch_files.hpp"

namespace sitewave::testing {
namespace {

namespace fs = std::filesystem;

// Ten sound cases and one the run refuses, so the notes of refusals are
// collected too.
void write_shared_suite(const scratch_dir& dir) {
  write_sound_suite(dir, 10);
  dir.write("suite.csv", dir.read("suite.csv") + "broken,missing.csv,soil_dat.csv,0\n");
}

std::string program_on_path(const char* name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  for (std::size_t start = 0; start <= dirs.size();) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    const fs::path candidate = fs::path(dirs.substr(start, end - start)) / name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
    start = end + 1;
  }
  return {};
}

TEST(BatchShards, ListTheCasesOfEachShardAndTogetherAll) {
  const scratch_dir dir;
  write_shared_suite(dir);
  std::vector<std::string> all;
  for (int k = 0; k < 3; ++k) {
    const run_result r =
        run_command(dir, {"batch", "suite.csv", "--list", "--shard", std::to_string(k) + "/3"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const std::vector<std::string> names = lines_of(r.out);
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::size_t index = k + 3 * i;  // in the manifest, from 0
      EXPECT_EQ(names[i], index == 10 ? std::string("broken") : 'c' + std::to_string(index + 1));
    }
    all.insert(all.end(), names.begin(), names.end());
  }
  EXPECT_EQ(all.size(), 11u);
  EXPECT_EQ(lines_of(run_command(dir, {"batch", "suite.csv", "--list"}).out).size(), 11u);
  EXPECT_FALSE(dir.exists("results"));
}

TEST(BatchShards, TogetherRunEachCaseOnceAndSumUpAsTheWholeBatch) {
  const scratch_dir dir;
  write_shared_suite(dir);
  const run_result whole = run_command(dir, {"batch", "suite.csv", "--out", "whole"});
  ASSERT_EQ(whole.exit_code, 1) << whole.err;

  std::size_t run_by_shards = 0;
  for (int k = 0; k < 3; ++k) {
    const std::string shard = std::to_string(k) + "/3";
    const run_result r =
        run_command(dir, {"batch", "suite.csv", "--out", "shared", "--shard", shard, "-j", "1"});
    EXPECT_LE(r.exit_code, 1) << r.err;
    run_by_shards += lines_of(r.err).size() - (k == 1 ? 1 : 0);  // shard 1 warns of missing.csv
    const auto rows = table_rows(dir.read("shared/summary-" + std::to_string(k) + "-of-3.csv"));
    EXPECT_EQ(rows.size(), k == 0 ? 4u : (k == 1 ? 4u : 3u));
  }
  EXPECT_EQ(run_by_shards, 11u);
  EXPECT_FALSE(dir.exists("shared/summary.csv"));

  const run_result collected =
      run_command(dir, {"batch", "suite.csv", "--out", "shared", "--summary-only"});
  EXPECT_EQ(collected.exit_code, 1);
  EXPECT_NE(collected.out.find("11 cases: 10 ok, 1 refused"), std::string::npos);
  EXPECT_EQ(without_wall_times(dir.read("shared/summary.csv")),
            without_wall_times(dir.read("whole/summary.csv")));
}

TEST(BatchShards, GnuParallelRunsTheShardsAsTheWholeBatchWould) {
  const std::string parallel = program_on_path("parallel");
  if (parallel.empty()) {
    GTEST_SKIP() << "GNU parallel is not installed (Debian package parallel); skipping the run "
                    "through it";
  }
  const scratch_dir dir;
  write_shared_suite(dir);
  ASSERT_EQ(run_command(dir, {"batch", "suite.csv", "--out", "whole", "-j", "2"}).exit_code, 1);
  const run_result shards =
      run_command(dir,
                  {"--will-cite", "-j", "3", SITEWAVE_BIN, "batch", "suite.csv", "--out", "par",
                   "--shard", "{}/3", "-j", "1", ":::", "0", "1", "2"},
                  {}, parallel);
  EXPECT_EQ(shards.exit_code, 1) << "one shard has the refused case\n" << shards.err;
  const run_result collected =
      run_command(dir, {"batch", "suite.csv", "--out", "par", "--summary-only"});
  EXPECT_EQ(collected.exit_code, 1) << collected.err;
  const auto rows = without_wall_times(dir.read("par/summary.csv"));
  EXPECT_EQ(rows.size(), 11u);
  EXPECT_EQ(rows, without_wall_times(dir.read("whole/summary.csv")));
}

}  // namespace
}  // namespace sitewave::testing
