// The opening dialogue as a user meets it: the lines before the ground model,
// the typed record file name, and the endings when that name is unusable.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <csignal>

#include "support/program_run.hpp"
#include "support/records.hpp"
#include "support/timed_run.hpp"

namespace sitewave::testing {
namespace {

constexpr const char* opening =
    "\n"
    "  : Soil Data must be \"soil_dat.csv\"\n"
    "\n"
    " Enter Wave Data (H1,H2,V1; e.g., wave.csv)\n";

TEST(Dialogue, TenLinesBeforeTheGroundModel) {
  scratch_dir dir;
  dir.write("wave.csv", sine_record(1000, 0.01f));
  dir.write("soil_dat.csv", three_layer_soil());
  const run_result r = run_program(dir, "wave.csv\n0\n0\n");
  const auto lines = lines_of(r.out);
  ASSERT_GE(lines.size(), 11u);
  EXPECT_EQ(r.out.substr(0, std::string(opening).size()), opening);
  EXPECT_EQ(lines[4], " NT and DT= 1000  0.00999999978");
  EXPECT_EQ(lines[5], "");
  EXPECT_EQ(lines[6], "  IF1,NF= 10 1024");
  EXPECT_EQ(lines[7], "");
  EXPECT_EQ(lines[8], "  DUR,DOM,NOM,EOM=  10.2399998  0.613592327 513  314.772858");
  EXPECT_EQ(lines[9], "  Highest Frequency (hz)=  50.0976562");
  EXPECT_EQ(lines[10], "");
  EXPECT_EQ(lines[11], " From Subroutine SOILIN:");
}

TEST(Dialogue, NameKeepsLeadingBlanksAndDropsTrailingOnes) {
  scratch_dir dir;
  dir.write(" lead.csv", sine_record(8, 0.01f));
  EXPECT_NE(run_program(dir, " lead.csv   \n0\n0\n").out.find("NT and DT= 8"), std::string::npos);
  const run_result missing = run_program(dir, "lead.csv\n0\n0\n");
  EXPECT_EQ(missing.signal, SIGABRT);
  EXPECT_NE(missing.err.find("unit 11 named lead.csv\n"), std::string::npos);
}

TEST(Dialogue, NameIsCutAtTwentyCharacters) {
  scratch_dir dir;
  dir.write("abcdefghijklmnopqrst", sine_record(8, 0.01f));
  dir.write("soil_dat.csv", three_layer_soil());
  const run_result r = run_program(dir, "abcdefghijklmnopqrstuvwxyz.csv\n0\n0\n");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("NT and DT= 8"), std::string::npos);
}

TEST(Dialogue, MissingRecordFileEndsAbnormallyWithItsDiagnostic) {
  scratch_dir dir;
  const run_result r = run_program(dir, "nofile.csv\n0\n0\n");
  EXPECT_EQ(r.signal, SIGABRT);
  EXPECT_EQ(r.out, opening);
  EXPECT_EQ(r.err,
            "open: No such file or directory\n"
            "apparent state: unit 11 named nofile.csv\n"
            "lately reading sequential formatted external IO\n");
  EXPECT_FALSE(dir.exists("Amp-Factors.csv"));
}

TEST(Dialogue, EmptyNameIsANullFileName) {
  scratch_dir dir;
  for (const char* answer : {"\n", "    \n"}) {
    const run_result r = run_program(dir, answer);
    EXPECT_EQ(r.signal, SIGABRT);
    EXPECT_EQ(r.err,
              "open: null file name\n"
              "apparent state: unit 11 named \n"
              "lately reading sequential formatted external IO\n");
  }
}

TEST(Dialogue, ConsoleEndingBeforeTheNameIsAnEndOfFile) {
  scratch_dir dir;
  dir.write("wave.csv", sine_record(8, 0.01f));
  for (const char* answer : {"", "wave.csv"}) {  // nothing, or a name without its line end
    const run_result r = run_program(dir, answer);
    EXPECT_EQ(r.signal, SIGABRT);
    EXPECT_EQ(r.out, opening);
    EXPECT_EQ(r.err,
              "fmt: end of file\n"
              "apparent state: unit 5 (unnamed)\n"
              "last format: (A20)\n"
              "lately reading sequential formatted external IO\n");
  }
}

TEST(Dialogue, ClosedConsoleInputFailsAtTheNameWithItsSystemError) {
  scratch_dir dir, io;
  const int out = ::open((io / "out").c_str(), O_WRONLY | O_CREAT, 0644);
  const int err = ::open((io / "err").c_str(), O_WRONLY | O_CREAT, 0644);
  const pid_t child = start_with_streams(dir, {-1, out, err}, 0);
  ::close(out);
  ::close(err);
  run_result r;
  ASSERT_TRUE(wait_for_end(child, std::chrono::seconds(10), r)) << "waited for console input";
  EXPECT_EQ(r.signal, SIGABRT);
  EXPECT_EQ(io.read("out"), opening);
  EXPECT_EQ(io.read("err"),
            "fmt: Bad file descriptor\n"
            "apparent state: unit 5 (unnamed)\n"
            "last format: (A20)\n"
            "lately reading sequential formatted external IO\n");
}

TEST(Dialogue, NameWithANulByteNamesNoFile) {
  scratch_dir dir;
  dir.write("wave.csv", sine_record(8, 0.01f));
  const run_result r = run_program(dir, std::string("wave.csv\0x\n", 11));
  EXPECT_EQ(r.signal, SIGABRT);
  EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "open: No such file or directory");
}

TEST(Dialogue, DirectoryAsRecordFailsAtItsFirstRead) {
  scratch_dir dir;
  std::filesystem::create_directory(dir / "wave.csv");
  const run_result r = run_program(dir, "wave.csv\n");
  EXPECT_EQ(r.signal, SIGABRT);
  EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "list in: Is a directory");
}

TEST(Dialogue, InterruptAtAPromptEndsWithStatusOne) {
  scratch_dir dir;
  const run_result r = interrupt_at_prompt(dir, "Enter Wave Data", SIGINT);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, opening);  // the prompt was on the console before the wait
  EXPECT_EQ(r.err, "Interrupt\n");
  const run_result killed = interrupt_at_prompt(dir, "Enter Wave Data", SIGTERM);
  EXPECT_EQ(killed.exit_code, 1);
  EXPECT_EQ(killed.err, "Killed\n");
}

}  // namespace
}  // namespace sitewave::testing
