// The command's record readers: the .AT2 format with its header variants and
// refusals, and the dialogue's record format read from a whole file.
#include <gtest/gtest.h>

#include <string>

#include "cli/io/errors.hpp"
#include "cli/inputs/record.hpp"
#include "support/program_run.hpp"

namespace sitewave::cli {
namespace {

using testing::scratch_dir;

std::string at2(const std::string& fourth_line, const std::string& samples) {
  return "PEER NGA STRONG MOTION DATABASE RECORD\n"
         "Test event, 1/1/2000, Test station, 090\n"
         "ACCELERATION TIME SERIES IN UNITS OF G\n" +
         fourth_line + "\n" + samples;
}

// The refusal's message, or "" when the read succeeds.
template <class F>
std::string refusal_of(F read) {
  try {
    read();
  } catch (const input_error& e) {
    return e.what();
  }
  return {};
}

record read_three(const scratch_dir& dir, const std::string& h1, const std::string& h2,
                  const std::string& v) {
  dir.write("h1.AT2", h1);
  dir.write("h2.AT2", h2);
  dir.write("v.AT2", v);
  return read_at2_record({dir / "h1.AT2", dir / "h2.AT2", dir / "v.AT2"});
}

TEST(At2Reader, ReadsSeveralValuesPerLineAndBothHeaderForms) {
  const scratch_dir dir;
  const std::string samples = "  .1000E-01 -.2000E-01  .3000E-01\n  .4000E-01  5.0E-02\n";
  const record r =
      read_three(dir, at2("NPTS=    5, DT=   .0100 SEC", samples),
                 at2("NPTS=5, DT=.01 SEC", samples), at2("    5    .01000   NPTS, DT", samples));
  ASSERT_EQ(r.rows(), 5u);
  EXPECT_EQ(r.format, "at2");
  EXPECT_EQ(r.unit, "g");
  EXPECT_FLOAT_EQ(r.h1[1], -0.02f);
  EXPECT_FLOAT_EQ(r.v1[4], 0.05f);
  EXPECT_FLOAT_EQ(r.time[1] - r.time[0], 0.01f);
  EXPECT_FLOAT_EQ(r.time[4], 4 * 0.01f);
  // CR LF line ends and values past NPTS do not matter.
  const record crlf =
      read_three(dir, at2("NPTS=  3, DT= .02 SEC\r", "1 2\r\n3 4\r\n"),
                 at2("NPTS=3, DT=.02", "1 2 3"), at2("NPTS=3, DT=.02", "1\n2\n3\n"));
  EXPECT_EQ(crlf.rows(), 3u);
  EXPECT_FLOAT_EQ(crlf.h1[2], 3.0f);
}

TEST(At2Reader, RefusesInconsistentComponentsAndShortData) {
  const scratch_dir dir;
  const std::string five = "1 2 3 4 5\n";
  EXPECT_NE(refusal_of([&] {
              read_three(dir, at2("NPTS=5, DT=.01", five), at2("NPTS=5, DT=.02", five),
                         at2("NPTS=5, DT=.01", five));
            }).find("h2.AT2: NPTS 5, DT 0.020000 differ from"),
            std::string::npos);
  EXPECT_NE(refusal_of([&] {
              read_three(dir, at2("NPTS=5, DT=.01", five), at2("NPTS=5, DT=.01", five),
                         at2("NPTS=4, DT=.01", five));
            }).find("v.AT2: NPTS 4"),
            std::string::npos);
  EXPECT_NE(refusal_of([&] {
              read_three(dir, at2("NPTS=6, DT=.01", five), at2("NPTS=5, DT=.01", five),
                         at2("NPTS=5, DT=.01", five));
            }).find("h1.AT2: 5 samples, NPTS 6 are expected"),
            std::string::npos);
  EXPECT_NE(refusal_of([&] {
              read_three(dir, at2("5 points at 0.01 s", five), at2("NPTS=5, DT=.01", five),
                         at2("NPTS=5, DT=.01", five));
            }).find("h1.AT2: line 4"),
            std::string::npos);
  EXPECT_NE(refusal_of([&] {
              read_three(dir, at2("NPTS=5, DT=.01", "1 2 x 4 5"), at2("NPTS=5, DT=.01", five),
                         at2("NPTS=5, DT=.01", five));
            }).find("h1.AT2: line 5: \"x\""),
            std::string::npos);
  EXPECT_NE(
      refusal_of([&] { read_three(dir, "two\nlines\n", five, five); }).find("ends in its header"),
      std::string::npos);
  EXPECT_NE(refusal_of([&] {
              read_three(dir, at2("NPTS=1E300, DT=.01", five), at2("NPTS=5, DT=.01", five),
                         at2("NPTS=5, DT=.01", five));
            }).find("a whole NPTS of at least 2"),
            std::string::npos);
  EXPECT_NE(refusal_of([&] {
              read_three(dir, at2("NPTS=5, DT=0", five), at2("NPTS=5, DT=.01", five),
                         at2("NPTS=5, DT=.01", five));
            }).find("a positive DT are expected"),
            std::string::npos);
}

TEST(CsvRecordReader, TakesTheDialoguesValuesAndNamesTheLineOfAFault) {
  const scratch_dir dir;
  // Titles cut to 10 characters, a row continued on the next line, a null
  // value, a last line without a line end.
  dir.write("r.csv", "time,North-South-long,EW,UD,extra\n0 1 2\n3\n0.5,,7,8\n1.0,1,1,1");
  const record r = read_csv_record(dir / "r.csv");
  EXPECT_EQ(std::string(r.titles[1].data(), 10), "North-Sout");
  ASSERT_EQ(r.rows(), 3u);
  EXPECT_FLOAT_EQ(r.v1[0], 3.0f);
  EXPECT_FLOAT_EQ(r.h1[1], 0.0f);
  EXPECT_FLOAT_EQ(r.time[2], 1.0f);
  dir.write("bad.csv", "t,a,b,c\n0,1,2,3\n1,2,x,4\n");
  EXPECT_NE(refusal_of([&] { read_csv_record(dir / "bad.csv"); }).find("bad.csv: line 3"),
            std::string::npos);
  dir.write("empty.csv", "");
  EXPECT_NE(refusal_of([&] { read_csv_record(dir / "empty.csv"); }).find("empty.csv"),
            std::string::npos);
}

}  // namespace
}  // namespace sitewave::cli
