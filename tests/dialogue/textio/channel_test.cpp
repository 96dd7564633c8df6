// Connecting channels to files: the open rules, the cut of replaced files at
// the written length, character input with its end-of-file flag, line
// counting and carriage returns.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "dialogue/textio/channel.hpp"
#include "dialogue/textio/write.hpp"
#include "support/program_run.hpp"

namespace sitewave::textio {
namespace {

using testing::scratch_dir;

constexpr int unit = 21;

std::string read_all(int u) {
  std::string text;
  for (int c = get_char(u); c != eof_char; c = get_char(u)) text += static_cast<char>(c);
  return text;
}

std::string path_of(const scratch_dir& dir, const char* name) {
  return (dir / name).string();
}

TEST(Channel, CarriageReturnBeforeLineFeedIsDropped) {
  scratch_dir dir;
  dir.write("f", "a\r\nb\rc\r\n\r");
  open(unit, path_of(dir, "f"), open_status::old);
  EXPECT_EQ(read_all(unit), "a\nb\rc\n\r");
  close(unit);
}

TEST(Channel, EndOfFileFlagStaysUntilClose) {
  scratch_dir dir;
  dir.write("f", "x");
  open(unit, path_of(dir, "f"), open_status::old);
  EXPECT_FALSE(eof_flag(unit));
  EXPECT_EQ(get_char(unit), 'x');
  EXPECT_EQ(get_char(unit), eof_char);
  EXPECT_TRUE(eof_flag(unit));
  unget_char(unit, eof_char);
  EXPECT_EQ(get_char(unit), eof_char);
  close(unit);
  EXPECT_FALSE(eof_flag(unit));
  open(unit, path_of(dir, "f"), open_status::old);
  EXPECT_EQ(get_char(unit), 'x');
  close(unit);
}

TEST(Channel, PushBackAndLineNumbers) {
  scratch_dir dir;
  dir.write("f", "ab\ncd\n");
  open(unit, path_of(dir, "f"), open_status::old);
  EXPECT_EQ(get_char(unit), 'a');
  EXPECT_EQ(line_number(unit), 1);
  get_char(unit);
  EXPECT_EQ(get_char(unit), '\n');
  unget_char(unit, '\n');
  EXPECT_EQ(get_char(unit), '\n');
  EXPECT_EQ(line_number(unit), 1);
  EXPECT_EQ(get_char(unit), 'c');
  EXPECT_EQ(line_number(unit), 2);
  close(unit);
}

TEST(Channel, NameLosesTrailingBlanksOnly) {
  scratch_dir dir;
  dir.write(" f", "y");
  open(unit, path_of(dir, " f") + "    ", open_status::old);
  EXPECT_EQ(std::string(unit_name(unit)), path_of(dir, " f"));
  EXPECT_EQ(get_char(unit), 'y');
  close(unit);
  EXPECT_EQ(unit_name(unit), nullptr);
}

TEST(Channel, ReplacedFileHoldsOnlyWhatThisRunWrote) {
  scratch_dir dir;
  dir.write("out", "an older and much longer content\nwith two lines\n");
  open(unit, path_of(dir, "out"), open_status::unknown);
  write_list(unit, "new");
  close(unit);
  EXPECT_EQ(dir.read("out"), " new\n");
}

TEST(Channel, OutputFileIsCreatedWhenMissing) {
  scratch_dir dir;
  open(unit, path_of(dir, "made"), open_status::unknown);
  write_list(unit, 7);
  close(unit);
  EXPECT_EQ(dir.read("made"), " 7\n");
}

TEST(Channel, ReadingAFileLeavesItAsItWas) {
  scratch_dir dir;
  dir.write("in", "keep me\n");
  open(unit, path_of(dir, "in"), open_status::unknown);
  EXPECT_EQ(read_all(unit), "keep me\n");
  close(unit);
  EXPECT_EQ(dir.read("in"), "keep me\n");
}

TEST(Channel, DevicesAreWrittenButNotCut) {
  open(unit, "/dev/null", open_status::unknown);
  write_list(unit, "discarded");
  close(unit);  // cutting a device would fail: it is not attempted
}

TEST(ChannelDeathTest, OpenFailures) {
  scratch_dir dir;
  const std::string missing = path_of(dir, "missing");
  EXPECT_EXIT(open(unit, missing, open_status::old), ::testing::KilledBySignal(SIGABRT),
              "^open: No such file or directory\napparent state: unit 21 named " + missing + "\n");
  EXPECT_EXIT(open(unit, "   ", open_status::old), ::testing::KilledBySignal(SIGABRT),
              "^open: null file name\napparent state: unit 21 named \n");
  EXPECT_EXIT(open(unit, path_of(dir, "no/such/dir/f"), open_status::unknown),
              ::testing::KilledBySignal(SIGABRT), "^open: No such file or directory\n");
  EXPECT_EXIT(open(100, "x", open_status::old), ::testing::KilledBySignal(SIGABRT),
              "^open: illegal unit number\n");
}

TEST(ChannelDeathTest, NulInANameNamesNoFile) {
  scratch_dir dir;
  dir.write("f", "x");
  const std::string name = path_of(dir, "f") + std::string("\0g", 2);
  EXPECT_EXIT(open(unit, name, open_status::old), ::testing::KilledBySignal(SIGABRT),
              "^open: No such file or directory\n");
}

TEST(ChannelDeathTest, FileThatMayOnlyBeReadRefusesWrites) {
  scratch_dir dir;
  std::filesystem::create_directory(dir / "d");
  const std::string d = path_of(dir, "d");
  EXPECT_EXIT(
      {
        open(unit, d, open_status::unknown);
        write_list(unit, "x");
      },
      ::testing::KilledBySignal(SIGABRT),
      "^list output start: can't write file\napparent state: unit 21 named " + d +
          "\nlast format: list io\nlately writing sequential formatted external IO\n$");
  EXPECT_EXIT(
      {
        open(unit, d, open_status::unknown);
        get_char(unit);
      },
      ::testing::KilledBySignal(SIGABRT), "^list in: Is a directory\n|^fmt: Is a directory\n");
}

TEST(ChannelDeathTest, UnreadableInputIsNeverEmptied) {
  // Only a user the permissions bind can meet a file it may write but not
  // read; the check runs as such a user when the tests run as root.
  if (geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
  scratch_dir dir;
  dir.write("record", "precious\n");
  const std::string path = path_of(dir, "record");
  ASSERT_EQ(chown(dir.path().c_str(), 65534, 65534), 0);
  ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
  ASSERT_EQ(chmod(path.c_str(), 0200), 0);
  EXPECT_EXIT(
      {
        if (setuid(65534) != 0) std::exit(3);
        open(unit, path, open_status::old);
      },
      ::testing::KilledBySignal(SIGABRT), "^open: Permission denied\n");
  ASSERT_EQ(chmod(path.c_str(), 0600), 0);
  EXPECT_EQ(dir.read("record"), "precious\n");
}

TEST(ChannelDeathTest, FullDeviceIsAFailure) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP();
  EXPECT_EXIT(
      {
        open(unit, "/dev/full", open_status::unknown);
        write_list(unit, "x");
        close(unit);
      },
      ::testing::KilledBySignal(SIGABRT), "^endfile: No space left on device\n");
}

}  // namespace
}  // namespace sitewave::textio
