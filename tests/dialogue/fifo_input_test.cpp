// Inputs that are FIFOs, as a user feeds a record through a named pipe: they
// are read to their end like files, and the run gives the same results.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "support/program_run.hpp"
#include "support/records.hpp"
#include "support/timed_run.hpp"

namespace sitewave::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* answers = "wave.csv\n0\n0\n";

// Feeds a FIFO from a thread, as `cat file > fifo &` would: waits for the
// program to open it for reading, writes everything, closes it.
std::jthread feed(const fs::path& fifo, std::string content) {
  return std::jthread([fifo, content = std::move(content)] {
    int fd = -1;
    for (int tries = 0; fd < 0 && tries < 2000; ++tries) {
      fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);  // fails until a reader is there
      if (fd < 0) std::this_thread::sleep_for(5ms);
    }
    if (fd < 0) return;
    ::fcntl(fd, F_SETFL, 0);
    for (std::string_view rest = content; !rest.empty();) {
      const ssize_t n = ::write(fd, rest.data(), rest.size());
      if (n <= 0) break;
      rest.remove_prefix(static_cast<std::size_t>(n));
    }
    ::close(fd);
  });
}

TEST(FifoInput, RecordAndGroundModelAreReadToTheirEnd) {
  const std::string record = sine_record(2000, 0.01f);
  const std::string soil = three_layer_soil();
  scratch_dir files;
  files.write("wave.csv", record);
  files.write("soil_dat.csv", soil);
  const run_result want = run_program(files, answers);
  ASSERT_EQ(want.exit_code, 0) << want.err;

  scratch_dir fifos;
  ASSERT_EQ(mkfifo((fifos / "wave.csv").c_str(), 0644), 0);
  ASSERT_EQ(mkfifo((fifos / "soil_dat.csv").c_str(), 0644), 0);
  const std::jthread record_writer = feed(fifos / "wave.csv", record);
  const std::jthread soil_writer = feed(fifos / "soil_dat.csv", soil);
  const limited_run got = run_within(fifos, answers, 20s);
  ASSERT_TRUE(got.in_time) << "the run waited for more input after the writer was done";
  EXPECT_EQ(got.run.exit_code, 0) << got.run.err;
  EXPECT_EQ(got.run.out, want.out);
  for (const char* name : {"Amp-Factors.csv", "amp1.csv", "wave1.csv"}) {
    EXPECT_EQ(fifos.read(name), files.read(name)) << name;
  }
}

}  // namespace
}  // namespace sitewave::testing
