// Input for the reader tests: a scratch file connected to a unit for the
// test's read statements, and the ending a failing read must come to.
#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <string_view>

#include "dialogue/textio/channel.hpp"
#include "dialogue/textio/list_read.hpp"
#include "support/program_run.hpp"

namespace sitewave::textio::test {

enum class connected { now, in_child };

// A scratch file holding the input, removed with the object. For a death test
// the file is connected only inside the child (EXPECT_RUN_ENDS does it): a
// stream shared with the parent would move the parent's read position.
class input_file {
 public:
  explicit input_file(std::string_view content, connected when = connected::now, int unit = 11)
      : unit_(unit) {
    dir_.write("input", content);
    if (when == connected::now) connect();
    connected_here_ = when == connected::now;
  }
  ~input_file() {
    if (connected_here_) close(unit_);
  }
  input_file(const input_file&) = delete;
  input_file& operator=(const input_file&) = delete;

  void connect() const { open(unit_, (dir_ / "input").string(), open_status::old); }
  int unit() const { return unit_; }

 private:
  sitewave::testing::scratch_dir dir_;
  int unit_;
  bool connected_here_ = false;
};

}  // namespace sitewave::textio::test

// In a child connected to `in` (made with connected::in_child), the reads
// must end the run abnormally, the diagnostic opening with first_line (a plain
// string without regular-expression characters).
#define EXPECT_RUN_ENDS(in, reads, first_line) \
  EXPECT_EXIT(                                 \
      {                                        \
        (in).connect();                        \
        reads;                                 \
      },                                       \
      ::testing::KilledBySignal(SIGABRT), "^" first_line "\n")
