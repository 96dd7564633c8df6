// The fingerprint of a run's inputs: `run` records in run.json the digest a
// batch computes for the same case, the digest follows content and options
// (not paths or modification times), and inputs that cannot be read never
// count as unchanged.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/options/arguments.hpp"
#include "cli/io/file_io.hpp"
#include "cli/io/fingerprint.hpp"
#include "cli/io/json_reader.hpp"
#include "cli/run/run_options.hpp"
#include "support/program_run.hpp"
#include "support/records.hpp"

namespace sitewave::cli {
namespace {

namespace fs = std::filesystem;
using testing::scratch_dir;

class InputFingerprint : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("wave.csv", testing::sine_record(120, 0.01f));
    dir.write("soil.csv", testing::three_layer_soil(1));
  }

  input_fingerprint of(std::vector<std::string> words) {
    const std::vector<std::string_view> views(words.begin(), words.end());
    input_files fresh;
    return fingerprint_of(arguments(views, run_option_specs()), fresh);
  }

  std::string path(const char* name) const { return (dir / name).string(); }

  input_fingerprint basic() {
    return of({"--record=" + path("wave.csv"), "--soil=" + path("soil.csv"), "--angle=20"});
  }

  scratch_dir dir;
};

TEST_F(InputFingerprint, RunRecordsTheDigestABatchComputesForTheSameCase) {
  const auto r = testing::run_command(
      dir, {"run", "--record", "wave.csv", "--soil", "soil.csv", "--angle", "20", "--out", "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto run = parse_json(read_file(dir / "out/run.json"));
  ASSERT_TRUE(run.has_value());
  const input_fingerprint expected = basic();
  EXPECT_EQ(recorded_digest(*run), expected.digest);
  const json_value* files = run->at({"fingerprint", "files"});
  ASSERT_NE(files, nullptr);
  ASSERT_EQ(files->items.size(), 2u);
  EXPECT_EQ(files->items[0].find("role")->text, "record");
  EXPECT_EQ(files->items[0].find("path")->text, path("wave.csv"));
  EXPECT_EQ(files->items[0].find("size")->number,
            static_cast<double>(fs::file_size(dir / "wave.csv")));
  EXPECT_EQ(files->items[1].find("role")->text, "soil");
  EXPECT_EQ(files->items[0].find("hash")->text, expected.files[0].hash);
}

TEST_F(InputFingerprint, IgnoresWhereInputsLieWhenTheyWereTouchedAndWhereResultsGo) {
  const std::string digest = basic().digest;
  fs::create_directory(dir / "copy");
  fs::copy_file(dir / "wave.csv", dir / "copy/moved.csv");
  fs::copy_file(dir / "soil.csv", dir / "copy/soil.csv");
  EXPECT_EQ(
      of({"--record=" + path("copy/moved.csv"), "--soil=" + path("copy/soil.csv"), "--angle=20"})
          .digest,
      digest);
  fs::last_write_time(dir / "wave.csv", fs::file_time_type::clock::now() + std::chrono::hours(1));
  EXPECT_EQ(basic().digest, digest);
  EXPECT_EQ(of({"--record=" + path("wave.csv"), "--soil=" + path("soil.csv"), "--angle=20",
                "--out=elsewhere", "--threads=3", "--quiet", "--force"})
                .digest,
            digest);
}

TEST_F(InputFingerprint, FollowsContentOptionsAndTheDefaultGroundModel) {
  const std::string digest = basic().digest;
  EXPECT_NE(of({"--record=" + path("wave.csv"), "--soil=" + path("soil.csv"), "--angle=21"}).digest,
            digest);
  EXPECT_NE(of({"--record=" + path("wave.csv"), "--soil=" + path("soil.csv"), "--angle=20",
                "--filter=0.1,0.2,20,25"})
                .digest,
            digest);
  // The same length, one digit changed.
  std::string soil = dir.read("soil.csv");
  soil[soil.find("900")] = '8';
  dir.write("soil.csv", soil);
  const input_fingerprint edited = basic();
  EXPECT_TRUE(edited.readable);
  EXPECT_NE(edited.digest, digest);
  // Without --soil the run reads soil_dat.csv from where it runs.
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  dir.write("soil_dat.csv", soil);
  EXPECT_EQ(of({"--record=" + path("wave.csv"), "--angle=20"}).digest, edited.digest);
  fs::current_path(before);
}

TEST_F(InputFingerprint, InputsThatCannotBeReadNeverCountAsUnchanged) {
  const input_fingerprint missing =
      of({"--record=" + path("gone.csv"), "--soil=" + path("soil.csv")});
  EXPECT_FALSE(missing.readable);
  EXPECT_EQ(missing.files[0].size, -1);
  // A FIFO is neither opened (that would wait for a writer) nor read.
  ASSERT_EQ(::mkfifo(path("pipe.csv").c_str(), 0600), 0);
  const input_fingerprint fifo = of({"--record=" + path("pipe.csv"), "--soil=" + path("soil.csv")});
  EXPECT_FALSE(fifo.readable);
  EXPECT_TRUE(basic().readable);
}

}  // namespace
}  // namespace sitewave::cli
