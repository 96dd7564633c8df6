// The failure reporter's exact diagnostic and the one-line refusal; each
// runs in a child process.
#include <gtest/gtest.h>

#include <csignal>

#include "dialogue/textio/channel.hpp"
#include "dialogue/textio/failure.hpp"
#include "dialogue/textio/write.hpp"
#include "support/program_run.hpp"

namespace sitewave::textio {
namespace {

using ::testing::ExitedWithCode;
using ::testing::KilledBySignal;

TEST(FailureDeathTest, FirstLineByCode) {
  note_statement(console_in, direction::reading, "list io");
  const char* state =
      "apparent state: unit 5 \\(unnamed\\)\nlast format: list io\n"
      "lately reading sequential formatted external IO\n$";
  EXPECT_EXIT(fail(end_of_file, "list in"), KilledBySignal(SIGABRT),
              std::string("^list in: end of file\n") + state);
  EXPECT_EXIT(fail(2, "open"), KilledBySignal(SIGABRT),
              std::string("^open: No such file or directory\n") + state);
  EXPECT_EXIT(fail(112, "invalid number"), KilledBySignal(SIGABRT),
              std::string("^invalid number: incomprehensible list input\n") + state);
  EXPECT_EXIT(fail(132, "x"), KilledBySignal(SIGABRT),
              std::string("^x: Temporary file name \\(TMPDIR\\?\\) too long\n") + state);
  EXPECT_EXIT(fail(133, "x"), KilledBySignal(SIGABRT),
              std::string("^x: illegal error number 133\n") + state);
}

TEST(FailureDeathTest, StateLinesFollowTheLatestOperation) {
  EXPECT_EXIT(
      {
        note_statement(console_out, direction::writing, "(I5)");
        end_formatted_statement();
        note_unit(9);
        fail(127, "list output start");
      },
      KilledBySignal(SIGABRT),
      "^list output start: can't write file\napparent state: unit 9 \\(unnamed\\)\n"
      "lately writing sequential formatted external IO\n$");
  EXPECT_EXIT(
      {
        note_statement(console_in, direction::reading, "(A20)");
        fail(end_of_file, "fmt");
      },
      KilledBySignal(SIGABRT),
      "^fmt: end of file\napparent state: unit 5 \\(unnamed\\)\nlast format: \\(A20\\)\n"
      "lately reading sequential formatted external IO\n$");
}

TEST(FailureDeathTest, FilesAreCutToWhatWasWrittenBeforeTheAbort) {
  testing::scratch_dir dir;
  dir.write("out", "0123456789012345678901234567890123456789\n");
  const std::string path = (dir / "out").string();
  EXPECT_EXIT(
      {
        open(30, path, open_status::unknown);
        write_list(30, "kept");
        fail(112, "invalid number");
      },
      KilledBySignal(SIGABRT), "invalid number");
  EXPECT_EQ(dir.read("out"), " kept\n");
}

TEST(FailureDeathTest, RefusalIsOneLineAndStatusOne) {
  EXPECT_EXIT(refuse("wave.csv: record refused"), ExitedWithCode(1),
              "^wave.csv: record refused\n$");
}

}  // namespace
}  // namespace sitewave::textio
