// The warning a run gives when the layer recursion overflows: one line on the
// standard error stream naming the first frequency, with the console and the
// files as they always are.
#include <gtest/gtest.h>

#include <string>

#include "support/program_run.hpp"
#include "support/records.hpp"

namespace sitewave::testing {
namespace {

// A thick, strongly damped layer seen at a steep angle: the single-precision
// recursion overflows well below the Nyquist frequency of a 0.005 s record.
std::string overflowing_soil() {
  return "Thick soft layer\n60\n1\nLayers\n2\nNo,Density,Vp,Qp,Fp,Vs,Qs,Fs,Thickness\n"
         "1,1.8,400,2,0,150,2,0,500\n"
         "2,2.2,2000,50,0,800,50,0,0\n";
}

// The frequency field of the first row of Amp-Factors.csv with a NaN in it.
std::string first_nan_frequency(const std::string& table) {
  for (const std::string& row : lines_of(table)) {
    if (row.find("NaN") != std::string::npos) {
      const std::string field = row.substr(0, row.find(','));
      return field.substr(field.find_first_not_of(' '));
    }
  }
  return "";
}

run_result run_with(const scratch_dir& dir, const std::string& soil) {
  dir.write("wave.csv", sine_record(1024, 0.005f));
  dir.write("soil_dat.csv", soil);
  return run_program(dir, "wave.csv\n0\n0\n");
}

TEST(OverflowWarning, NamesTheFirstFrequencyThatOverflows) {
  scratch_dir dir;
  const run_result r = run_with(dir, overflowing_soil());
  EXPECT_EQ(r.exit_code, 0);
  const std::string frequency = first_nan_frequency(dir.read("Amp-Factors.csv"));
  ASSERT_FALSE(frequency.empty()) << "the model no longer overflows";
  EXPECT_EQ(r.err, "Warning: the amplification is not finite from " + frequency +
                       " Hz on: the model overflows the single-precision layer recursion; "
                       "`sitewave run --physics exact` does not overflow\n");
  // The console goes on as usual, to its closing notices.
  EXPECT_NE(r.out.find(" Output data are stored in \"wave1.csv\""), std::string::npos);
}

TEST(OverflowWarning, SoundModelGivesNoWarning) {
  scratch_dir dir;
  const run_result r = run_with(dir, three_layer_soil());
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace sitewave::testing
