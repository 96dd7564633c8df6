// Whole analyses small enough to check by hand: unit amplification over a
// bare half-space, integration and differentiation of a sine, the band-pass
// trapezoid seen through a flat spectrum, and the files a run leaves.
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/program_run.hpp"
#include "support/records.hpp"

namespace sitewave::testing {
namespace {

// The numeric fields of one row of a result file (an empty last field, left
// by a trailing comma, is dropped).
std::vector<double> fields_of(const std::string& line) {
  std::vector<double> values;
  std::size_t start = 0;
  while (start < line.size()) {
    std::size_t end = line.find(',', start);
    if (end == std::string::npos) end = line.size();
    values.push_back(std::strtod(line.substr(start, end - start).c_str(), nullptr));
    start = end + 1;
  }
  return values;
}

// The reals of a console line, separated by blanks.
std::vector<double> blank_separated(const std::string& text) {
  std::vector<double> values;
  std::istringstream in(text);
  for (double v = 0; in >> v;) values.push_back(v);
  return values;
}

// Column c (0 = the first) of every row after the title.
std::vector<double> column_of(const std::string& file, int c) {
  std::vector<double> column;
  const auto lines = lines_of(file);
  for (std::size_t i = 1; i < lines.size(); ++i) column.push_back(fields_of(lines[i]).at(c));
  return column;
}

// 64 rows at 1/64 s: a one-second record, grid lines at whole hertz.
constexpr float one_hz_dt = 0.015625f;

// A unit impulse in every component: its spectrum is dt at every line, so
// the spectrum file shows dt times the shaping weight of each line.
std::string impulse_record() {
  std::vector<row> rows;
  for (int i = 0; i < 64; ++i) {
    const double v = i == 0 ? 1.0 : 0.0;
    rows.push_back({i * static_cast<double>(one_hz_dt), v, v, v});
  }
  return record_of(rows);
}

struct analysis {
  scratch_dir dir;
  run_result run;
};

void analyse(analysis& a, const std::string& record, const std::string& soil,
             const std::string& answers) {
  a.dir.write("wave.csv", record);
  a.dir.write("soil_dat.csv", soil);
  a.run = run_program(a.dir, "wave.csv\n" + answers);
  ASSERT_EQ(a.run.exit_code, 0) << a.run.err;
}

// Weights that the trapezoid gives the lines 1..32 Hz (amp1.csv, H1 / dt).
std::vector<double> line_weights(const std::string& answers) {
  analysis a;
  analyse(a, impulse_record(), half_space_soil(2), answers);
  std::vector<double> weights;
  for (double m : column_of(a.dir.read("amp1.csv"), 1)) weights.push_back(m / one_hz_dt);
  return weights;
}

TEST(Analysis, BareHalfSpaceReturnsTheRecordLessItsMean) {
  analysis a;
  const std::string record = sine_record(1000, 0.01f);
  analyse(a, record, half_space_soil(2), "0\n0\n");
  const auto in = lines_of(record);
  const auto out = lines_of(a.dir.read("wave1.csv"));
  ASSERT_EQ(out.size(), 1025u);
  EXPECT_EQ(out[0], " time      ,H1        ,H2        ,V1        ");
  for (std::size_t i = 1; i < in.size(); ++i) {
    const auto r = fields_of(in[i]);
    const auto r1 = fields_of(in[1]);
    const auto w = fields_of(out[i]);
    EXPECT_NEAR(w[0], r[0], 5e-6);
    for (int c = 1; c <= 3; ++c) EXPECT_NEAR(w[c], r[c] - r1[c], 3e-4 * (1 + std::fabs(w[c])));
  }
  // Rows past the record continue its times.
  EXPECT_EQ(out[1001].substr(0, 10), "  10.00000");
  EXPECT_EQ(out[1024].substr(0, 10), "  10.23000");
  // Only the half-space: every amplification is 2 or 1.
  const auto amp = lines_of(a.dir.read("Amp-Factors.csv"));
  ASSERT_EQ(amp.size(), 514u);
  for (std::size_t i = 1; i < amp.size(); ++i) {
    EXPECT_EQ(amp[i].substr(8), ",  0.2000E+01,  0.1000E+01,  0.2000E+01,  0.1000E+01,");
  }
}

TEST(Analysis, ResultFilesHaveTheirRowsAndWidths) {
  analysis a;
  analyse(a, sine_record(300, 0.013f), three_layer_soil(), "0\n0\n");
  struct shape {
    const char* name;
    std::size_t rows;
    std::size_t title_width;
    std::size_t row_width;
  };
  for (const shape& s : {shape{"Amp-Factors.csv", 257, 39, 61}, shape{"amp1.csv", 256, 47, 48},
                         shape{"wave1.csv", 512, 44, 49}}) {
    const std::string file = a.dir.read(s.name);
    ASSERT_EQ(file.back(), '\n') << s.name;
    const auto lines = lines_of(file);
    ASSERT_EQ(lines.size(), s.rows + 1) << s.name;
    EXPECT_EQ(lines[0].size(), s.title_width) << s.name;
    for (std::size_t i = 1; i < lines.size(); ++i) {
      ASSERT_EQ(lines[i].size(), s.row_width) << s.name << " row " << i;
    }
  }
  EXPECT_EQ(lines_of(a.dir.read("wave1.csv"))[1],
            "   0.00000,  0.0000E+00,  0.0000E+00,  0.0000E+00");
  EXPECT_EQ(lines_of(a.dir.read("amp1.csv"))[1].substr(0, 8), "  0.1502");  // 1/dur
}

TEST(Analysis, SummaryAndClosingNotices) {
  analysis a;
  analyse(a, sine_record(1000, 0.01f), half_space_soil(2), "0\n0\n");
  const auto lines = lines_of(a.run.out);
  ASSERT_GE(lines.size(), 14u);
  const std::vector<std::string> tail(lines.end() - 14, lines.end());
  EXPECT_EQ(tail[0], " The Fourier Spectrum data are stored in \"amp1.csv\"");
  EXPECT_EQ(tail[1], "");
  EXPECT_EQ(tail[2], "  Nmber of data points    = 1024");
  EXPECT_EQ(tail[3], "  Duration and Delta Time =  10.2399998  0.00999999978");
  EXPECT_EQ(tail[4], "  Initial and final times =  0.  10.2299995");
  EXPECT_EQ(tail[5], "");
  EXPECT_EQ(tail[6].substr(0, 27), "  Min X, Y and Z          =");
  EXPECT_EQ(tail[7].substr(0, 27), "  Max X, Y abd Z          =");
  EXPECT_EQ(tail[8].substr(0, 27), "  Min and Max amplitudes  =");
  EXPECT_EQ(tail[9].substr(0, 27), "  Absolute Max amplitude  =");
  EXPECT_EQ(tail[10], "");
  EXPECT_EQ(tail[11], " Output data are stored in \"wave1.csv\"");
  EXPECT_EQ(tail[12], " You can plot the waveform using \"wave.m\" for Matlab");
  EXPECT_EQ(tail[13], "");
  // The extremes are those of the output, a zero-mean waveform.
  const auto max = blank_separated(tail[7].substr(27));
  const auto min = blank_separated(tail[6].substr(27));
  ASSERT_EQ(max.size(), 3u);
  ASSERT_EQ(min.size(), 3u);
  for (int c = 0; c < 3; ++c) {
    EXPECT_GE(max[c], 0.0);
    EXPECT_LE(min[c], 0.0);
  }
}

TEST(Analysis, IntegrationAndDifferentiationOfAGridSine) {
  // 8 Hz on a one-second grid: a whole number of periods, one spectral line.
  const double omega = 2 * M_PI * 8;
  std::vector<row> rows;
  for (int i = 0; i < 64; ++i) {
    const double t = i * static_cast<double>(one_hz_dt);
    rows.push_back({t, std::sin(omega * t), std::sin(omega * t), std::sin(omega * t)});
  }
  struct operation {
    const char* answer;
    double (*expected)(double t, double w);
  };
  const operation operations[] = {
      {"0\n0\n", [](double t, double w) { return std::sin(w * t); }},
      {"1\n0\n", [](double t, double w) { return -std::cos(w * t) / w; }},
      {"2\n0\n", [](double t, double w) { return w * std::cos(w * t); }},
  };
  for (const operation& op : operations) {
    analysis a;
    analyse(a, record_of(rows), half_space_soil(2), op.answer);
    const auto out = lines_of(a.dir.read("wave1.csv"));
    ASSERT_EQ(out.size(), 65u);
    for (std::size_t i = 1; i < out.size(); ++i) {
      const auto v = fields_of(out[i]);
      const double t = static_cast<double>(i - 1) * one_hz_dt;
      const double want = op.expected(t, omega) - op.expected(0.0, omega);
      const double scale = std::fabs(op.expected(0.25 / 8, omega) - op.expected(0.0, omega)) + 1e-9;
      for (int c = 1; c <= 3; ++c) EXPECT_NEAR(v[c], want, 2e-3 * scale) << op.answer << i;
    }
  }
}

TEST(Analysis, TrapezoidWeightsOfTheLines) {
  // Corners 3, 5, 9, 12 Hz: 0 at 3, rising to 1 at 5, 1 up to 9, falling,
  // and from 12 Hz on outside the band.
  const std::vector<double> w = line_weights("0\n1\n3 5 9 12\n");
  ASSERT_EQ(w.size(), 32u);
  const double expected[] = {0, 0, 0, 0.5, 1, 1, 1, 1, 1, 2.0 / 3, 1.0 / 3, 0, 0};
  for (std::size_t k = 0; k < std::size(expected); ++k)
    EXPECT_NEAR(w[k], expected[k], 1e-3) << k + 1;
  for (std::size_t k = 13; k < w.size(); ++k) EXPECT_EQ(w[k], 0.0) << k + 1;
}

TEST(Analysis, TrapezoidEdgeCases) {
  auto weights = [](const char* corners) { return line_weights(std::string("0\n1\n") + corners); };
  // No rising ramp and a sharp upper edge: full weight from 4 Hz up to 9 Hz.
  auto w = weights("4,4,9,9\n");
  for (std::size_t k = 0; k < w.size(); ++k) EXPECT_EQ(w[k] > 0.99, k >= 3 && k < 8) << k + 1;
  // An empty band.
  for (double v : weights("20 25 5 10\n")) EXPECT_EQ(v, 0.0);
  for (double v : weights("10 10 10 10\n")) EXPECT_EQ(v, 0.0);
  // Corners out of order: where both ramps apply the falling one stands.
  w = weights("2 12 6 16\n");
  EXPECT_NEAR(w[9], 0.6, 1e-3);  // 10 Hz: rising 0.8, falling 0.6
  // Corners above Nyquist leave the upper part of the trapezoid unused.
  w = weights("0 1 100 200\n");
  EXPECT_NEAR(w[31], 1.0, 1e-3);
  // Corners spread over lines and separated by commas or blanks.
  EXPECT_EQ(weights("3\n5,\n9 12\n"), line_weights("0\n1\n3 5 9 12\n"));
}

TEST(Analysis, UnsetOrOtherAnswersMeanNoShaping) {
  const std::vector<double> plain = line_weights("0\n0\n");
  for (double v : plain) EXPECT_NEAR(v, 1.0, 1e-3);
  for (const char* answers : {"3\n2\n", "-1\n0\n", ",\n/\n", "/\n,\n"}) {
    EXPECT_EQ(line_weights(answers), plain) << answers;
  }
  // Unset corners are 0: a band from 0 to 0 holds no line.
  for (double v : line_weights("0\n1\n/\n")) EXPECT_EQ(v, 0.0);
}

TEST(Analysis, ShapingDialogueAsked) {
  analysis a;
  analyse(a, impulse_record(), half_space_soil(2), "0\n1\n3 5 9 12\n");
  const std::string dialogue =
      "\n"
      "  You can integrate or differentiate the original wave.;\n"
      "    Do not change   (Enter -> 0),\n"
      "    Integrate       (Enter -> 1),\n"
      "    Differentiate   (Enter -> 2):\n"
      "\n"
      "  Band Pass Filter? (Yes=1 or No=0) :\n"
      "    Data for TRAPEZOIDAL BAND PASS FILTER:\n"
      "    INITIAL AND FINAL Frequencies =  0.  32.\n"
      "\n"
      "    Enter fL1,fL2,fH1 and fH2 (fL1<fL2<fH1<fH2: Hz): \n"
      "\n"
      " The Fourier Spectrum data are stored in \"amp1.csv\"\n";
  EXPECT_NE(a.run.out.find(dialogue), std::string::npos) << a.run.out;
}

TEST(Analysis, BadShapingAnswerEndsTheRun) {
  scratch_dir dir;
  dir.write("wave.csv", impulse_record());
  dir.write("soil_dat.csv", half_space_soil(2));
  const run_result r = run_program(dir, "wave.csv\n1.5\n0\n");
  EXPECT_EQ(r.signal, SIGABRT);
  EXPECT_EQ(r.err,
            "invalid integer: read unexpected character\n"
            "apparent state: unit 5 (unnamed)\n"
            "last format: list io\n"
            "lately reading sequential formatted external IO\n");
  EXPECT_TRUE(dir.exists("Amp-Factors.csv"));
  EXPECT_FALSE(dir.exists("amp1.csv"));
}

TEST(Analysis, SecondRunReplacesLongerFiles) {
  analysis fresh;
  analyse(fresh, impulse_record(), three_layer_soil(), "0\n0\n");
  analysis reused;
  analyse(reused, sine_record(1000, 0.01f), three_layer_soil(), "0\n0\n");
  analyse(reused, impulse_record(), three_layer_soil(), "0\n0\n");
  for (const char* name : {"Amp-Factors.csv", "amp1.csv", "wave1.csv"}) {
    EXPECT_EQ(reused.dir.read(name), fresh.dir.read(name)) << name;
  }
}

TEST(Analysis, UnwritableOutputKeepsWhatWasWrittenBefore) {
  // A directory stands for a file that may be read but not written.
  for (const char* blocked : {"Amp-Factors.csv", "amp1.csv", "wave1.csv"}) {
    scratch_dir dir;
    dir.write("wave.csv", impulse_record());
    dir.write("soil_dat.csv", three_layer_soil());
    std::filesystem::create_directory(dir / blocked);
    const run_result r = run_program(dir, "wave.csv\n0\n0\n");
    EXPECT_EQ(r.signal, SIGABRT);
    const int unit = std::string(blocked) == "Amp-Factors.csv" ? 9
                     : std::string(blocked) == "amp1.csv"      ? 10
                                                               : 11;
    EXPECT_EQ(r.err, "list output start: can't write file\napparent state: unit " +
                         std::to_string(unit) + " named " + blocked +
                         "\nlast format: list io\n"
                         "lately writing sequential formatted external IO\n");
    if (unit > 9) {
      EXPECT_EQ(lines_of(dir.read("Amp-Factors.csv")).size(), 34u);
    }
    if (unit > 10) {
      EXPECT_EQ(lines_of(dir.read("amp1.csv")).size(), 33u);
    }
  }
}

TEST(Analysis, FullDiskIsReportedNotIgnored) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  scratch_dir dir;
  dir.write("wave.csv", sine_record(1000, 0.01f));
  dir.write("soil_dat.csv", three_layer_soil());
  std::filesystem::create_symlink("/dev/full", dir / "wave1.csv");
  const run_result r = run_program(dir, "wave.csv\n0\n0\n");
  EXPECT_EQ(r.signal, SIGABRT);
  EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
}

TEST(Analysis, FailedWriteCutsTheFileAfterItsLastLine) {
  // A file-size limit makes a write to a regular file fail part-way, as a
  // full disk would.
  analysis whole;
  analyse(whole, sine_record(1000, 0.01f), three_layer_soil(), "0\n0\n");
  const std::string table = whole.dir.read("Amp-Factors.csv");
  scratch_dir dir;
  dir.write("wave.csv", sine_record(1000, 0.01f));
  dir.write("soil_dat.csv", three_layer_soil());
  dir.write("Amp-Factors.csv", std::string(2 * table.size(), 'x'));
  dir.write("limited", "#!/bin/sh\ntrap '' XFSZ\nulimit -f 16\nexec " SITEWAVE_BIN "\n");
  std::filesystem::permissions(dir / "limited", std::filesystem::perms::owner_all);
  const run_result r = run_program(dir, "wave.csv\n0\n0\n", (dir / "limited").string());
  EXPECT_EQ(r.signal, SIGABRT);
  EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "write start: File too large");
  const std::string kept = dir.read("Amp-Factors.csv");
  EXPECT_FALSE(kept.empty());
  EXPECT_LT(kept.size(), table.size());
  EXPECT_EQ(table.compare(0, kept.size(), kept), 0) << "not a prefix of the table";
  EXPECT_EQ(kept.back(), '\n');
}

}  // namespace
}  // namespace sitewave::testing
