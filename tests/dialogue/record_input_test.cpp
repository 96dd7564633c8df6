// Which rows of a record count, the transform size they give, and the
// records that are refused before any analysis.
#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include "support/program_run.hpp"
#include "support/records.hpp"

namespace sitewave::testing {
namespace {

// The console lines that report the row count and the transform size.
struct record_report {
  std::string counts;     // " NT and DT= ..."
  std::string transform;  // "  IF1,NF= ..." (empty when the run stopped before it)
  run_result run;
};

record_report run_record(const std::string& record) {
  scratch_dir dir;
  dir.write("wave.csv", record);
  dir.write("soil_dat.csv", three_layer_soil());
  record_report report;
  report.run = run_program(dir, "wave.csv\n0\n0\n");
  const auto lines = lines_of(report.run.out);
  if (lines.size() > 4) report.counts = lines[4];
  if (lines.size() > 6) report.transform = lines[6];
  return report;
}

std::string rows_of(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) {
    text += std::to_string(i) + ".5," + std::to_string(i % 7) + ",2,3\n";
  }
  return text;
}

TEST(RecordInput, TransformSizeIsThePowerOfTwoThatHoldsTheRows) {
  struct expectation {
    int rows;
    const char* transform;
  };
  for (const expectation& e :
       {expectation{2, "  IF1,NF= 2 4"}, expectation{3, "  IF1,NF= 2 4"},
        expectation{4, "  IF1,NF= 2 4"}, expectation{5, "  IF1,NF= 3 8"},
        expectation{1024, "  IF1,NF= 10 1024"}, expectation{1025, "  IF1,NF= 11 2048"}}) {
    const record_report r = run_record("t,a,b,c\n" + rows_of(e.rows));
    EXPECT_EQ(r.counts, " NT and DT= " + std::to_string(e.rows) + "  1.") << e.rows;
    EXPECT_EQ(r.transform, e.transform) << e.rows;
    EXPECT_EQ(r.run.exit_code, 0) << r.run.err;
  }
}

TEST(RecordInput, OnlyCompleteRowsCount) {
  const std::string five = "t,a,b,c\n" + rows_of(5);
  struct variant {
    std::string text;
    int rows;
  };
  const variant variants[] = {
      {five, 5},
      {five + "\n\n  \n", 5},                             // trailing blank lines
      {five + "9.5,1", 5},                                // short last line
      {five + "9.5,1,2\n", 5},                            // short last row
      {five.substr(0, five.size() - 1), 5},               // last line without line feed
      {five.substr(0, five.size() - 1) + " \t", 5},       // ... and only blanks after it
      {five.substr(0, five.size() - 1) + ",", 4},         // ... but a comma after it
      {five.substr(0, five.size() - 1) + ",7", 4},        // ... or a fifth value
      {"t,a,b,c\n0,1,2,3,4,5\n1,1,2,3,extra text\n", 2},  // five or more values per row
      {"t,a,b\nc\n0,1,2,3\n1,1,2,3\n", 2},                // fourth title on the next line
      {"t,a,b,c\n0,1\n2,3\n1,1,2,3\n", 2},                // a row over two lines
  };
  for (const variant& v : variants) {
    const record_report r = run_record(v.text);
    EXPECT_EQ(r.counts.substr(0, r.counts.find("  ")), " NT and DT= " + std::to_string(v.rows))
        << v.text;
  }
}

TEST(RecordInput, CarriageReturnsAtLineEndsChangeNothing) {
  const std::string lf = sine_record(300, 0.013f);
  std::string crlf;
  for (char c : lf) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  scratch_dir a, b;
  for (const scratch_dir* d : {&a, &b}) d->write("soil_dat.csv", three_layer_soil());
  a.write("wave.csv", lf);
  b.write("wave.csv", crlf);
  const run_result ra = run_program(a, "wave.csv\n0\n0\n");
  const run_result rb = run_program(b, "wave.csv\r\n0\r\n0\r\n");
  EXPECT_EQ(ra.out, rb.out);
  EXPECT_EQ(a.read("wave1.csv"), b.read("wave1.csv"));
  EXPECT_EQ(a.read("amp1.csv"), b.read("amp1.csv"));
}

TEST(RecordInput, MoreThanTwoToTheFifteenRowsIsRefused) {
  scratch_dir dir;
  std::string text = "t,a,b,c\n";
  text.reserve(32769 * 12);
  for (int i = 0; i < 32769; ++i) text += std::to_string(i) + ",1,2,3\n";
  dir.write("wave.csv", text);
  dir.write("soil_dat.csv", three_layer_soil());
  const run_result r = run_program(dir, "wave.csv\n0\n0\n");
  const auto lines = lines_of(r.out);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[4], " NT and DT= 32769  1.");
  EXPECT_EQ(lines[5], "  NT>2**15 !!!!!");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "");
  EXPECT_FALSE(dir.exists("Amp-Factors.csv"));
  EXPECT_FALSE(dir.exists("wave1.csv"));
}

TEST(RecordInput, RecordsWithoutAPositiveTimeStepAreRefused) {
  const std::string refused[] = {
      "t,a,b,c\n",                       // no rows
      "t,a,b,c\n0,1,2,3\n",              // one row
      "t,a,b,c\n0,1,2,3\n0,1,2,3\n",     // zero step
      "t,a,b,c\n1,1,2,3\n0,1,2,3\n",     // negative step
      "t,a,b,c\n0,1,2,3\n1e39,1,2,3\n",  // not finite
  };
  for (const std::string& text : refused) {
    scratch_dir dir;
    dir.write("wave.csv", text);
    dir.write("soil_dat.csv", three_layer_soil());
    const run_result r = run_program(dir, "wave.csv\n0\n0\n");
    EXPECT_EQ(r.exit_code, 1) << text;
    const auto lines = lines_of(r.out);
    ASSERT_EQ(lines.size(), 5u) << text;
    EXPECT_EQ(lines[4].substr(0, 12), " NT and DT= ");
    EXPECT_EQ(r.err.substr(0, 10), "wave.csv: ") << r.err;
    EXPECT_EQ(lines_of(r.err).size(), 1u);
    EXPECT_FALSE(dir.exists("Amp-Factors.csv"));
  }
}

TEST(RecordInput, TextWhereANumberBelongsEndsTheRun) {
  const record_report r = run_record("t,a,b,c\n0,1,2,3\ntime,H1,H2,V1\n");
  EXPECT_EQ(r.run.signal, SIGABRT);
  EXPECT_EQ(r.run.err,
            "invalid number: incomprehensible list input\n"
            "apparent state: unit 11 named wave.csv\n"
            "last format: list io\n"
            "lately reading sequential formatted external IO\n");
}

TEST(RecordInput, EmptyRecordFileIsAnEndOfFile) {
  const record_report r = run_record("");
  EXPECT_EQ(r.run.signal, SIGABRT);
  EXPECT_EQ(r.run.err.substr(0, r.run.err.find('\n')), "list in: end of file");
}

}  // namespace
}  // namespace sitewave::testing
