// The command's record readers: the .AT2 format with its header variants and
// refusals, and the dialogue's record format read from a whole file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/inputs/record.hpp"
#include "cli/io/errors.hpp"
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
  const std::vector<std::filesystem::path> paths{dir / "h1.AT2", dir / "h2.AT2", dir / "v.AT2"};
  return read_at2_record(paths);
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
  EXPECT_FLOAT_EQ(r.samples[0][1], -0.02f);
  EXPECT_FLOAT_EQ(r.samples[2][4], 0.05f);
  EXPECT_FLOAT_EQ(r.time[1] - r.time[0], 0.01f);
  EXPECT_FLOAT_EQ(r.time[4], 4 * 0.01f);
  EXPECT_EQ(std::string(textfmt::trimmed(r.titles[1])), "090") << "the header's component";
  // One file is one horizontal component.
  const std::vector<std::filesystem::path> one{dir / "h1.AT2"};
  EXPECT_EQ(read_at2_record(one).components, 1u);
  // CR LF line ends and values past NPTS do not matter.
  const record crlf =
      read_three(dir, at2("NPTS=  3, DT= .02 SEC\r", "1 2\r\n3 4\r\n"),
                 at2("NPTS=3, DT=.02", "1 2 3"), at2("NPTS=3, DT=.02", "1\n2\n3\n"));
  EXPECT_EQ(crlf.rows(), 3u);
  EXPECT_FLOAT_EQ(crlf.samples[0][2], 3.0f);
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

TEST(CsvRecordReader, TakesTheDialoguesValuesFromRowsOfTheTitlesShape) {
  const scratch_dir dir;
  dir.write("r.csv", "time,North-South-long,EW,UD\n0 1 2 3\n\n0.5, 1.5e-1 ,7,8D0\n1.0,1,1,1");
  const record r = read_csv_record(dir / "r.csv");
  EXPECT_EQ(std::string(r.titles[1].data(), 10), "North-Sout");
  ASSERT_EQ(r.rows(), 3u);
  EXPECT_EQ(r.components, 3u);
  EXPECT_EQ(r.samples[0][1], 0.15f);
  EXPECT_EQ(r.samples[2][1], 8.0f);
  EXPECT_FLOAT_EQ(r.time[2], 1.0f);
  dir.write("two.csv", "time,acc\n0,0.1\n0.01,0.2\n");
  const record single = read_csv_record(dir / "two.csv");
  EXPECT_EQ(single.components, 1u);
  EXPECT_EQ(single.samples[0], (std::vector<float>{0.1f, 0.2f}));
  EXPECT_TRUE(single.samples[1].empty());
}

TEST(CsvRecordReader, RefusesRowsOfAnotherShapeOnTheirLine) {
  const scratch_dir dir;
  const struct {
    const char* text;
    const char* says;
  } cases[] = {
      {"0,1,2,3\n1,2,3,4\n", "line 1: \"0,1,2,3\": a title line is expected first"},
      {"t,a,b,c\n0,1,2,3\n1,2,3\n", "line 3: 3 values where the title line names 4 columns"},
      {"t,a\n0,1\n1,2\n2,3,4\n", "line 4: 3 values where the title line names 2 columns"},
      {"t,a,b,c\n0,1,2,3\n1,2,x,4\n", "line 3: column b: \"x\": a number is expected"},
      {"t,a,b,c\n0,1,2,3\n1,2,1e39,4\n", "line 3: column b: 1e39: a value within single"},
      {"t,a,b,c\n0,1,,3\n", "line 2: column b: \"\": a number is expected"},
      {"t,a,b,c\n0,1,2*5\n", "line 2: 3 values"},
      {"t\n0\n", "1 column titles; 2 to 4 are expected"},
      {"t,a\n0,\x01\x02\n", "\"\\x01\\x02\": a number is expected"},
      {"", "the file is empty"},
  };
  for (const auto& c : cases) {
    dir.write("bad.csv", c.text);
    EXPECT_NE(refusal_of([&] { read_csv_record(dir / "bad.csv"); }).find(c.says), std::string::npos)
        << c.text << " gives " << refusal_of([&] { read_csv_record(dir / "bad.csv"); });
  }
  dir.write("long.csv", "t,a\n" + std::string(2 << 20, '1'));
  EXPECT_NE(refusal_of([&] { read_csv_record(dir / "long.csv"); }).find("line 2: a line longer"),
            std::string::npos);
}

}  // namespace
}  // namespace sitewave::cli
