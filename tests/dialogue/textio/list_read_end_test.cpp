// Where a list-directed read meets the end of the file. These rules decide
// which rows of a record file count, so the row loop is tried on the shapes
// real files end in.
#include <gtest/gtest.h>

#include <string>

#include "dialogue/textio/list_read.hpp"
#include "list_read_input.hpp"

namespace sitewave::textio::test {
namespace {

int rows_of(const std::string& content) {
  input_file in(content);
  float t = 0, x = 0, y = 0, z = 0;
  int k = 0;
  while (read_list_or_end(in.unit(), t, x, y, z)) ++k;
  return k;
}

TEST(ListReadEnd, RowLoopCountsCompleteRows) {
  EXPECT_EQ(rows_of("0,1,2,3\n0.01,4,5,6\n"), 2);
  EXPECT_EQ(rows_of("0,1,2,3\n0.01,4,5,6"), 2);
  EXPECT_EQ(rows_of("0,1,2,3\n0.01,4,5,6 \t "), 2);
  EXPECT_EQ(rows_of("0,1,2,3\r\n0.01,4,5,6\r\n"), 2);
  EXPECT_EQ(rows_of("0,1,2,3\n0.01,4,5,6\n\n\n  \n"), 2);
  EXPECT_EQ(rows_of("0 1 2 3 9\n0.01 4 5 6 9\n"), 2);
  EXPECT_EQ(rows_of("0,1,2,3,\n0.01,4,5,6,\n"), 2);
  EXPECT_EQ(rows_of("0,1,2,3\n0.01,4,5,6,3*0\n"), 2);
  // The end of the file counts before a pending repeat: an unterminated
  // last record "4*7" fills only its first target.
  EXPECT_EQ(rows_of("0,1,2,3\n4*7"), 1);
  EXPECT_EQ(rows_of("0,1,2,3\n4*7\n"), 2);
  EXPECT_EQ(rows_of(""), 0);
}

TEST(ListReadEnd, LastRecordWithoutLineEndCountsOnlyWhenNothingFollows) {
  EXPECT_EQ(rows_of("0,1,2,3\n0.01,4,5,6,"), 1);   // a trailing comma
  EXPECT_EQ(rows_of("0,1,2,3\n0.01,4,5,6,9"), 1);  // a fifth value
  EXPECT_EQ(rows_of("0,1,2,3\n0.01,4,5,6 x"), 1);
  EXPECT_EQ(rows_of("0,1,2,3\n0.01,4,5\n"), 1);  // a short last row
  EXPECT_EQ(rows_of("0,1,2,3\n0.01,4,5"), 1);
}

TEST(ListReadEnd, BranchKeepsWhatWasStored) {
  input_file in("1 2\n");
  int a = 0, b = 0, c = -1;
  EXPECT_FALSE(read_list_or_end(in.unit(), a, b, c));
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(c, -1);
  EXPECT_FALSE(read_list_or_end(in.unit(), a));  // the flag stays set
}

TEST(ListReadEnd, WithoutBranchTheRunEnds) {
  input_file short_row("1\n", connected::in_child);
  int a = 0, b = 0;
  EXPECT_RUN_ENDS(short_row, read_list(short_row.unit(), a, b), "list in: end of file");
  EXPECT_RUN_ENDS(short_row, (read_list(short_row.unit(), a), read_list(short_row.unit(), a)),
                  "list in: end of file");
  input_file empty("", connected::in_child);
  EXPECT_RUN_ENDS(empty, read_list(empty.unit(), a), "list in: end of file");
}

TEST(ListReadEnd, EndWhileDroppingTheRecordIsNoticedByTheNextStatement) {
  input_file in("5,");
  int a = 0;
  read_list(in.unit(), a);  // ignored here: the statement has no branch
  EXPECT_EQ(a, 5);
  EXPECT_TRUE(eof_flag(in.unit()));
  EXPECT_FALSE(read_list_or_end(in.unit(), a));

  input_file dying("5,", connected::in_child);
  EXPECT_RUN_ENDS(dying, (read_list(dying.unit(), a), read_list(dying.unit())),
                  "read start: end of file");
}

}  // namespace
}  // namespace sitewave::textio::test
