// Inputs a run must never destroy: an output file that is the record or the
// ground model under another name (a symbolic or hard link, or the record
// named like an output) is refused before anything is written to it.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "support/program_run.hpp"
#include "support/records.hpp"

namespace sitewave::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* answers = "wave.csv\n0\n0\n";

struct output_file {
  const char* name;
  int unit;
  const char* layout_line;  // the Amp-Factors.csv open follows a formatted statement
};

constexpr output_file outputs[] = {
    {"Amp-Factors.csv", 9, ""},
    {"amp1.csv", 10, "last format: list io\n"},
    {"wave1.csv", 11, "last format: list io\n"},
};

std::string refusal_of(const output_file& out) {
  return std::string("open: Output file is an input of the run\n") + "apparent state: unit " +
         std::to_string(out.unit) + " named " + out.name + "\n" + out.layout_line +
         "lately writing sequential formatted external IO\n";
}

enum class link_kind { symbolic, hard };

void link_to(const scratch_dir& dir, const char* input, const char* output, link_kind kind) {
  if (kind == link_kind::symbolic) {
    fs::create_symlink(input, dir / output);
  } else {
    fs::create_hard_link(dir / input, dir / output);
  }
}

TEST(OutputIsInput, OutputLinkedToAnInputIsRefusedBeforeItIsWritten) {
  const std::string record = sine_record(64, 0.01f);
  const std::string soil = three_layer_soil();
  for (const char* input : {"wave.csv", "soil_dat.csv"}) {
    for (const link_kind kind : {link_kind::symbolic, link_kind::hard}) {
      for (const output_file& out : outputs) {
        SCOPED_TRACE(std::string(out.name) + " linked to " + input +
                     (kind == link_kind::hard ? " (hard)" : " (symbolic)"));
        scratch_dir dir;
        dir.write("wave.csv", record);
        dir.write("soil_dat.csv", soil);
        link_to(dir, input, out.name, kind);
        const run_result r = run_program(dir, answers);
        EXPECT_EQ(r.signal, SIGABRT);
        EXPECT_EQ(r.err, refusal_of(out));
        EXPECT_EQ(dir.read("wave.csv"), record);
        EXPECT_EQ(dir.read("soil_dat.csv"), soil);
        // The outputs before it were written in full.
        for (const output_file& before : outputs) {
          if (&before == &out) break;
          EXPECT_FALSE(dir.read(before.name).empty()) << before.name;
        }
      }
    }
  }
}

TEST(OutputIsInput, RecordNamedLikeAnOutputIsNotOverwritten) {
  scratch_dir dir;
  const std::string record = sine_record(64, 0.01f);
  dir.write("wave1.csv", record);
  dir.write("soil_dat.csv", three_layer_soil());
  const run_result r = run_program(dir, "wave1.csv\n0\n0\n");
  EXPECT_EQ(r.signal, SIGABRT);
  EXPECT_EQ(r.err, refusal_of(outputs[2]));
  EXPECT_EQ(dir.read("wave1.csv"), record);
}

TEST(OutputIsInput, LinkToAFileThatIsNoInputIsWritten) {
  scratch_dir dir;
  dir.write("wave.csv", sine_record(64, 0.01f));
  dir.write("soil_dat.csv", three_layer_soil());
  dir.write("elsewhere.csv", "an older table\n");
  fs::create_symlink("elsewhere.csv", dir / "Amp-Factors.csv");
  const run_result r = run_program(dir, answers);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(dir.read("elsewhere.csv").substr(0, 15), " frequency (Hz)");
}

}  // namespace
}  // namespace sitewave::testing
