// The list-directed read: separators, null values, slash, repeat counts,
// statements running over records, and the scanner state that lives for one
// statement only.
#include <gtest/gtest.h>

#include "dialogue/textio/list_read.hpp"
#include "list_read_input.hpp"

namespace sitewave::textio::test {
namespace {

TEST(ListRead, NullValuesLeaveTargetsAlone) {
  for (const char* input : {"1,,3\n", "1, ,3\n", "1 ,\t, 3\n"}) {
    input_file in(input);
    int a = -1, b = -1, c = -1;
    read_list(in.unit(), a, b, c);
    EXPECT_EQ(a, 1) << input;
    EXPECT_EQ(b, -1) << input;
    EXPECT_EQ(c, 3) << input;
  }
}

TEST(ListRead, RepeatCountFillsTargets) {
  input_file in("3*2.5\n2*,7\n2* 7\n1*,5\n+2*4,,9\n2*-3\n");
  float x = 0, y = 0, z = 0;
  read_list(in.unit(), x, y, z);
  EXPECT_EQ(x, 2.5f);
  EXPECT_EQ(y, 2.5f);
  EXPECT_EQ(z, 2.5f);
  int a = -1, b = -1, c = -1;
  read_list(in.unit(), a, b, c);  // r* before a comma: r nulls
  EXPECT_EQ(a, -1);
  EXPECT_EQ(b, -1);
  EXPECT_EQ(c, 7);
  a = b = c = -1;
  read_list(in.unit(), a, b, c);  // r* before a blank: r nulls
  EXPECT_EQ(a, -1);
  EXPECT_EQ(b, -1);
  EXPECT_EQ(c, 7);
  a = b = -1;
  read_list(in.unit(), a, b);
  EXPECT_EQ(a, -1);
  EXPECT_EQ(b, 5);
  int d = 0;
  c = -1;
  read_list(in.unit(), a, b, c, d);  // the comma after a repeat belongs to its last target
  EXPECT_EQ(a, 4);
  EXPECT_EQ(b, 4);
  EXPECT_EQ(c, -1);
  EXPECT_EQ(d, 9);
  read_list(in.unit(), a, b);
  EXPECT_EQ(a, -3);
  EXPECT_EQ(b, -3);
}

TEST(ListRead, BadRepeatCountEndsTheRun) {
  for (const char* input :
       {"0*5\n", "-2*5\n", "*5\n", "000*5\n", "12345678901234567890123456789012345678901*5\n"}) {
    input_file in(input, connected::in_child);
    int a = 0, b = 0;
    EXPECT_RUN_ENDS(in, read_list(in.unit(), a, b),
                    "bad repetition count: incomprehensible list input")
        << input;
  }
}

TEST(ListRead, SlashStopsTheStatement) {
  input_file in("5/ 6\n/\n7 8\n1,/,3\n");
  int a = -1, b = -1;
  read_list(in.unit(), a, b);
  EXPECT_EQ(a, 5);
  EXPECT_EQ(b, -1);
  a = b = -1;
  read_list(in.unit(), a, b);  // the slash affects its own statement only
  EXPECT_EQ(a, -1);
  read_list(in.unit(), a, b);
  EXPECT_EQ(a, 7);
  EXPECT_EQ(b, 8);
  int c = -1;
  b = -1;
  read_list(in.unit(), a, b, c);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, -1);
  EXPECT_EQ(c, -1);
}

TEST(ListRead, StatementRunsOverRecordsAndDropsTheRestOfItsLast) {
  input_file in("1 2,\n\n  \t\n3 99 99\n4\n\n5\n");
  int a = 0, b = 0, c = 0;
  read_list(in.unit(), a, b, c);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(c, 3);
  read_list(in.unit(), a);
  EXPECT_EQ(a, 4);
  read_list(in.unit());  // no targets: skips one (empty) record
  read_list(in.unit(), a);
  EXPECT_EQ(a, 5);
}

TEST(ListRead, NothingCarriesIntoTheNextStatement) {
  input_file in("3*4\n9\n2*\n8\n");
  int a = 0, b = 0;
  read_list(in.unit(), a);
  read_list(in.unit(), b);  // the two unused repeats of 4 are gone
  EXPECT_EQ(a, 4);
  EXPECT_EQ(b, 9);
  a = -1;
  read_list(in.unit(), a);
  read_list(in.unit(), b);  // nor does a repeated null
  EXPECT_EQ(a, -1);
  EXPECT_EQ(b, 8);
}

TEST(ListRead, RepeatedNumberObeysEachTargetKind) {
  input_file in("2*12-1\n2*7\n");
  int i = 0;
  float x = 0;
  read_list(in.unit(), i, x);  // as if 12-1 were typed twice
  EXPECT_EQ(i, 1);
  EXPECT_EQ(x, 1.2f);
  read_list(in.unit(), x, i);
  EXPECT_EQ(x, 7.0f);
  EXPECT_EQ(i, 7);
}

TEST(ListRead, RepeatedRealTruncatesIntoAnInteger) {
  input_file in("2*2.5\n2*-7.9\n");
  float x = 0;
  int i = 0;
  read_list(in.unit(), x, i);
  EXPECT_EQ(x, 2.5f);
  EXPECT_EQ(i, 2);
  read_list(in.unit(), x, i);
  EXPECT_EQ(i, -7);
}

TEST(ListRead, RepeatedValueCrossingTextAndNumberEndsTheRun) {
  input_file point("2*2.5\n", connected::in_child);
  float x = 0;
  int i = 0;
  text<4> t{};
  EXPECT_RUN_ENDS(point, read_list(point.unit(), x, t),
                  "bad repetition count: incomprehensible list input");
  input_file word("2*ab\n", connected::in_child);
  EXPECT_RUN_ENDS(word, read_list(word.unit(), t, i),
                  "bad repetition count: incomprehensible list input");
}

TEST(ListRead, DiagnosticNamesTheStatement) {
  input_file in("x\n", connected::in_child);
  float x = 0;
  EXPECT_EXIT(
      {
        in.connect();
        read_list(in.unit(), x);
      },
      ::testing::KilledBySignal(SIGABRT),
      "^invalid number: incomprehensible list input\napparent state: unit 11 named "
      ".*/input\nlast format: list io\nlately reading sequential formatted external IO\n");
}

}  // namespace
}  // namespace sitewave::textio::test
