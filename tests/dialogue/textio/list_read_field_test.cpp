// The fixed-width text read of one field, as the record file name is typed:
// the characters as typed, blank padding, the cut at the width, and the end
// of the input while the field is filled.
#include <gtest/gtest.h>

#include <string>

#include "dialogue/textio/list_read.hpp"
#include "list_read_input.hpp"

namespace sitewave::textio::test {
namespace {

std::string field_of(const text<20>& t) {
  return std::string(t.data(), t.size());
}

TEST(ReadField, TakesTheWidthFromOneRecord) {
  input_file in(
      "wave.csv\n"
      "abcdefghijklmnopqrstuvwxy\n"
      "  my file.csv\r\n"
      "\n"
      "7\n");
  text<20> name{};
  read_field(in.unit(), name);
  EXPECT_EQ(field_of(name), "wave.csv            ");
  read_field(in.unit(), name);
  EXPECT_EQ(field_of(name), "abcdefghijklmnopqrst");  // the rest of the record is dropped
  read_field(in.unit(), name);
  EXPECT_EQ(field_of(name), "  my file.csv       ");
  read_field(in.unit(), name);
  EXPECT_EQ(field_of(name), std::string(20, ' '));
  int i = 0;
  read_list(in.unit(), i);
  EXPECT_EQ(i, 7);
}

TEST(ReadField, LastLineFillingTheFieldNeedsNoLineEnd) {
  input_file in("abcdefghijklmnopqrst");
  text<20> name{};
  read_field(in.unit(), name);
  EXPECT_EQ(field_of(name), "abcdefghijklmnopqrst");
  EXPECT_TRUE(eof_flag(in.unit()));
}

TEST(ReadField, EndOfInputWhileFillingEndsTheRun) {
  text<20> name{};
  input_file empty("", connected::in_child);
  EXPECT_RUN_ENDS(empty, read_field(empty.unit(), name), "fmt: end of file");
  input_file short_last("wave.csv", connected::in_child);
  EXPECT_EXIT(
      {
        short_last.connect();
        read_field(short_last.unit(), name);
      },
      ::testing::KilledBySignal(SIGABRT),
      "^fmt: end of file\napparent state: unit 11 named .*\nlast format: \\(A20\\)\n");
  input_file used_up("a\n", connected::in_child);
  EXPECT_RUN_ENDS(used_up, (read_list(used_up.unit(), name), read_field(used_up.unit(), name)),
                  "fmt: end of file");
  input_file flagged("a", connected::in_child);
  EXPECT_RUN_ENDS(flagged, (read_list(flagged.unit(), name), read_field(flagged.unit(), name)),
                  "read start: end of file");
}

}  // namespace
}  // namespace sitewave::textio::test
