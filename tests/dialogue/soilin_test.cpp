// The ground model file as the program reads and echoes it, and the models it
// refuses; each case runs the built program in a scratch directory.
#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include "support/program_run.hpp"
#include "support/records.hpp"

namespace sitewave::testing {
namespace {

constexpr int echo_start = 10;  // console line of "From Subroutine SOILIN:"

// The console lines from "From Subroutine SOILIN:" on, for a model file.
struct soil_run {
  std::vector<std::string> echo;
  run_result run;
};

soil_run run_with_soil(const std::string& soil, const std::string& answers = "0\n0\n") {
  scratch_dir dir;
  dir.write("wave.csv", sine_record(64, 0.01f));
  dir.write("soil_dat.csv", soil);
  soil_run r;
  r.run = run_program(dir, "wave.csv\n" + answers);
  const auto lines = lines_of(r.run.out);
  if (lines.size() > echo_start + 1) r.echo.assign(lines.begin() + echo_start + 1, lines.end());
  return r;
}

std::string model(const std::string& angle, const std::string& nin, const std::string& nl,
                  const std::string& rows) {
  return "title\n" + angle + "\n" + nin + "\nlayers\n" + nl + "\nNo,Density,...\n" + rows;
}

const std::string layer_rows =
    "1,1.8,1500,20,1,300,10,1,5.0\n"
    "2,2.2,2000,50,0,800,50,0,0\n";

TEST(Soilin, EchoesTheModelLineByLine) {
  const soil_run r = run_with_soil(model("30.0,degrees", "2", "2", layer_rows));
  ASSERT_EQ(r.run.exit_code, 0) << r.run.err;
  ASSERT_GE(r.echo.size(), 9u);
  EXPECT_EQ(r.echo[0], " From Subroutine SOILIN:");
  EXPECT_EQ(r.echo[1], "   Incident Wave Angle (degree) =  30.");
  EXPECT_EQ(r.echo[2], "   Input Wave Type = 2");
  EXPECT_EQ(r.echo[3], "     (=1: Data of Theoretical Input Data in Bedrock");
  EXPECT_EQ(r.echo[4], "     ,=2: Data Observed at Boreholein Bedrock)");
  EXPECT_EQ(r.echo[5], "");
  EXPECT_EQ(r.echo[6], "   Total Number of Layers =    2");
  EXPECT_EQ(r.echo[7],
            "   Layer,Density,Vp(real),    Qp  ,  Fp  ,Vs(real),    Qs  ,  Fs  ,Thickness(m)");
  EXPECT_EQ(r.echo[8],
            "     1    1.800  1500.00   20.000  1.000   300.00   10.000  1.000       5.000");
  EXPECT_EQ(r.echo[8].size(), 77u);
  EXPECT_EQ(r.echo[9],
            "     2    2.200  2000.00   50.000  0.000   800.00   50.000  0.000       0.000");
  EXPECT_EQ(r.echo[10], "");
  EXPECT_EQ(r.echo[11], "  You can integrate or differentiate the original wave.;");
}

TEST(Soilin, ValuesComeFirstOnALineAndTheRestIsIgnored) {
  // Row numbers are echoed as written; a short row continues on the next
  // line and ignores the rest of it.
  const soil_run r = run_with_soil(model("3.0E1 trailing words", "1 the type", "2",
                                         "7,1.8,1500,20,1,300\n10,1,5.0 m, 9, 9\n"
                                         "2,2.2,2000,50,0,800,50,0,0 half-space\n"));
  ASSERT_EQ(r.run.exit_code, 0) << r.run.err;
  EXPECT_EQ(r.echo[1], "   Incident Wave Angle (degree) =  30.");
  EXPECT_EQ(r.echo[8].substr(0, 6), "     7");
}

TEST(Soilin, LeftOutLayerNumberEchoesTheRowBefore) {
  const soil_run r = run_with_soil(model("0", "1", "3",
                                         ",1.8,1500,20,1,300,10,1,5.0\n"
                                         "7,1.8,1500,20,1,300,10,1,5.0\n"
                                         ",2.2,2000,50,0,800,50,0,0\n"));
  ASSERT_EQ(r.run.exit_code, 0) << r.run.err;
  ASSERT_GE(r.echo.size(), 11u);
  EXPECT_EQ(r.echo[8].substr(0, 6), "     0");  // nothing read before the first row
  EXPECT_EQ(r.echo[9].substr(0, 6), "     7");
  EXPECT_EQ(r.echo[10],
            "     7    2.200  2000.00   50.000  0.000   800.00   50.000  0.000       0.000");
}

TEST(Soilin, SlashBeforeTheLayerNumberKeepsTheRowBefore) {
  // The slash leaves every value of the row unread: its density stays 0, so
  // the row is refused after its echo.
  const soil_run r = run_with_soil(model("0", "1", "2", "4,1.8,1500,20,1,300,10,1,5.0\n/\n"));
  EXPECT_EQ(r.run.exit_code, 1);
  ASSERT_GE(r.echo.size(), 10u);
  EXPECT_EQ(r.echo[9].substr(0, 6), "     4");
}

TEST(Soilin, TooWideValuesShowAsterisks) {
  const soil_run r = run_with_soil(
      model("0", "1", "2", "1,1.8,1000000,20,1,300,10,1,5.0\n" + layer_rows.substr(29)));
  ASSERT_EQ(r.run.exit_code, 0) << r.run.err;
  EXPECT_EQ(r.echo[8],
            "     1    1.800*********   20.000  1.000   300.00   10.000  1.000       5.000");
}

TEST(Soilin, MissingFileEndsAfterTheHeading) {
  scratch_dir dir;
  dir.write("wave.csv", sine_record(64, 0.01f));
  const run_result r = run_program(dir, "wave.csv\n0\n0\n");
  EXPECT_EQ(r.signal, SIGABRT);
  EXPECT_EQ(lines_of(r.out).back(), " From Subroutine SOILIN:");
  EXPECT_EQ(r.err,
            "open: No such file or directory\n"
            "apparent state: unit 4 named soil_dat.csv\n"
            "last format: list io\n"
            "lately writing sequential formatted external IO\n");
}

TEST(Soilin, MalformedValuesEndTheRun) {
  struct malformed {
    std::string soil;
    const char* first_line;
  };
  const malformed cases[] = {
      {model("Angle,30", "1", "2", layer_rows), "invalid number: incomprehensible list input"},
      {model("30", "1.0", "2", layer_rows), "invalid integer: read unexpected character"},
      {model("30", "1", "2", "1,1.8,1500\n"), "list in: end of file"},
      {"title\n30\n", "list in: end of file"},
  };
  for (const malformed& m : cases) {
    const soil_run r = run_with_soil(m.soil);
    EXPECT_EQ(r.run.signal, SIGABRT) << m.soil;
    EXPECT_EQ(r.run.err.substr(0, r.run.err.find('\n')), m.first_line) << m.soil;
    EXPECT_NE(r.run.err.find("apparent state: unit 4 named soil_dat.csv\nlast format: list io\n"
                             "lately reading"),
              std::string::npos);
  }
}

// A refusal is one line naming the file and the line, after the echo of what
// was read; nothing is computed and no output file is written.
void expect_refused(const std::string& soil, std::size_t echo_lines, const std::string& words) {
  scratch_dir dir;
  dir.write("wave.csv", sine_record(64, 0.01f));
  dir.write("soil_dat.csv", soil);
  const run_result r = run_program(dir, "wave.csv\n0\n0\n");
  EXPECT_EQ(r.exit_code, 1) << soil;
  EXPECT_EQ(lines_of(r.out).size(), echo_start + 1 + echo_lines) << r.out;
  ASSERT_EQ(lines_of(r.err).size(), 1u) << r.err;
  EXPECT_EQ(r.err.rfind("soil_dat.csv: line ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find(words), std::string::npos) << r.err;
  EXPECT_FALSE(dir.exists("Amp-Factors.csv"));
}

TEST(Soilin, WaveTypeOtherThanOneOrTwoIsRefused) {
  expect_refused(model("30", "0", "2", layer_rows), 5, "line 3: input wave type 0");
  expect_refused(model("30", "\n\n3", "2", layer_rows), 5, "line 5: input wave type 3");
}

TEST(Soilin, LayerCountOutsideTheTableIsRefused) {
  expect_refused(model("30", "1", "0", layer_rows), 8, "line 5: number of layer rows 0");
  expect_refused(model("30", "1", "51", layer_rows), 8, "number of layer rows 51");
  expect_refused(model("30", "1", "-2", layer_rows), 8, "number of layer rows -2");
}

TEST(Soilin, AngleThatIsNotFiniteIsRefused) {
  expect_refused(model("1e39", "1", "2", layer_rows), 2, "line 2: incident wave angle inf");
}

TEST(Soilin, UnsoundLayerRowsAreRefusedAfterTheirEcho) {
  const std::string good = "1,1.8,1500,20,1,300,10,1,5.0\n";
  struct unsound {
    std::string row;
    const char* words;
  };
  const unsound rows[] = {
      {"2,0,2000,50,0,800,50,0,0\n", "line 8: layer row 2, density 0"},
      {"2,2.2,2000,50,0,-800,50,0,0\n", "Vs -800"},
      {"2,2.2,2000,50,0,800,0,0,0\n", "Qs 0"},
      {"2,2.2,2000,0,0,800,50,0,0\n", "Qp 0"},
      {"2,2.2,800,50,0,800,50,0,0\n", "Vp 800"},
      {"2,2.2,2000,50,1e39,800,50,0,0\n", "Fp inf"},
  };
  for (const unsound& u : rows) expect_refused(model("30", "1", "2", good + u.row), 10, u.words);
  // A negative thickness is refused above the half-space only.
  expect_refused(model("30", "1", "2", "1,1.8,1500,20,1,300,10,1,-5.0\n" + layer_rows.substr(29)),
                 9, "line 7: layer row 1, thickness -5");
  EXPECT_EQ(
      run_with_soil(model("30", "1", "2", good + "2,2.2,2000,50,0,800,50,0,-1\n")).run.exit_code,
      0);
}

}  // namespace
}  // namespace sitewave::testing
