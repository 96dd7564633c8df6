// Interrupts and termination requests as a user sends them: at random moments
// of the largest analysis, while a write waits on a pipe nobody reads, and at
// a prompt. Every run must end promptly with status 1 and leave each file as
// it was or cut after a complete line of what the run would have written.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/program_run.hpp"
#include "support/records.hpp"
#include "support/timed_run.hpp"

namespace sitewave::testing {
namespace {

using namespace std::chrono_literals;
using seconds = std::chrono::duration<double>;

#if defined(__SANITIZE_ADDRESS__)
constexpr int default_runs = 50;  // the sanitizers make every run several times slower
constexpr seconds prompt_end = 1.5s;
#else
constexpr int default_runs = 200;
constexpr seconds prompt_end = 0.5s;
#endif

// How many random interrupts: SITEWAVE_INTERRUPT_RUNS overrides the default.
int interrupt_runs() {
  const char* wanted = std::getenv("SITEWAVE_INTERRUPT_RUNS");
  return wanted != nullptr ? std::max(1, std::atoi(wanted)) : default_runs;
}

constexpr std::array<const char*, 3> outputs = {"Amp-Factors.csv", "amp1.csv", "wave1.csv"};

// The largest analysis the dialogue takes: 32768 rows, 50 layer rows, with
// integration and a band-pass filter.
constexpr const char* largest_answers = "wave.csv\n1\n1\n0.1 0.2 20 25\n";

std::string fifty_layer_soil() {
  std::string soil = "Fifty rows\n30.0\n1\nLayers\n50\nNo,Density,Vp,Qp,Fp,Vs,Qs,Fs,Thickness\n";
  for (int l = 1; l <= 50; ++l) {
    soil += std::to_string(l) + "," + std::to_string(1.7 + 0.01 * l) + "," +
            std::to_string(400 + 30 * l) + "," + std::to_string(15 + l) + ",0.3," +
            std::to_string(150 + 15 * l) + "," + std::to_string(10 + l) + ",0.5," +
            (l < 50 ? "2" : "0") + "\n";
  }
  return soil;
}

void write_largest_case(const scratch_dir& dir) {
  dir.write("wave.csv", sine_record(32768, 0.005f));
  dir.write("soil_dat.csv", fifty_layer_soil());
}

// What the uninterrupted run writes.
struct reference {
  std::string out;
  std::map<std::string, std::string> files;
  seconds run_time{0};
};

reference uninterrupted_run() {
  scratch_dir dir;
  write_largest_case(dir);
  reference ref;
  const auto start = std::chrono::steady_clock::now();
  const run_result r = run_program(dir, largest_answers);
  ref.run_time = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(r.exit_code, 0) << r.err;
  ref.out = r.out;
  for (const char* name : outputs) ref.files[name] = dir.read(name);
  return ref;
}

// Longer than the file it stands in for, and nowhere a prefix of it: a run
// that fails to cut a file leaves some of it behind.
std::string junk_for(const std::string& file) {
  std::string junk;
  while (junk.size() <= file.size()) junk += "junk from before the run, never to be left behind\n";
  return junk;
}

// A prefix of whole that ends after a complete line (or is empty).
bool complete_lines_of(const std::string& part, const std::string& whole) {
  return whole.compare(0, part.size(), part) == 0 && (part.empty() || part.back() == '\n');
}

// What is wrong with one interrupted run, or an empty text.
std::string check_run(const interrupted_run& r, const reference& ref,
                      const std::map<std::string, std::string>& junk, const scratch_dir& dir) {
  std::string problems;
  const bool finished = r.run.exit_code == 0;
  if (finished) {
    if (!r.run.err.empty()) problems += "finished with \"" + r.run.err + "\" on stderr; ";
  } else if (r.run.exit_code != 1 || r.run.err != "Interrupt\n") {
    problems += "ended with status " + std::to_string(r.run.exit_code) + ", signal " +
                std::to_string(r.run.signal) + ", stderr \"" + r.run.err + "\"; ";
  }
  if (r.time_to_end > prompt_end) {
    problems += "took " + std::to_string(r.time_to_end.count()) + " s to end; ";
  }
  if (!complete_lines_of(r.run.out, ref.out)) problems += "console output is not a prefix; ";
  bool later_file_started = false;
  for (auto name = outputs.rbegin(); name != outputs.rend(); ++name) {
    const std::string content = dir.read(*name);
    const std::string& want = ref.files.at(*name);
    const bool untouched = content == junk.at(*name);
    if (finished && content != want) problems += std::string(*name) + " incomplete; ";
    if (!untouched && !complete_lines_of(content, want)) {
      problems += std::string(*name) + " is neither untouched nor cut after a line; ";
    }
    // A file is written only once the one before it is complete.
    if (later_file_started && content != want) problems += std::string(*name) + " cut early; ";
    later_file_started = later_file_started || !untouched;
  }
  return problems;
}

struct worker_report {
  std::vector<std::string> failures;
  seconds worst{0};
  int interrupted = 0;
  int finished = 0;
};

void interrupt_repeatedly(int runs, unsigned seed, const reference& ref, worker_report& report) {
  scratch_dir dir;
  write_largest_case(dir);
  std::map<std::string, std::string> junk;
  for (const char* name : outputs) junk[name] = junk_for(ref.files.at(name));
  std::mt19937 random(seed);
  const auto longest = std::chrono::duration_cast<std::chrono::microseconds>(ref.run_time * 1.1);
  std::uniform_int_distribution<long> moment(0, longest.count());
  for (int i = 0; i < runs; ++i) {
    for (const char* name : outputs) dir.write(name, junk.at(name));
    const std::chrono::microseconds delay(moment(random));
    const interrupted_run r = interrupt_after(dir, largest_answers, delay, SIGINT);
    report.worst = std::max(report.worst, seconds(r.time_to_end));
    (r.run.exit_code == 0 ? report.finished : report.interrupted) += 1;
    if (const std::string problems = check_run(r, ref, junk, dir); !problems.empty()) {
      report.failures.push_back("seed " + std::to_string(seed) + ", delay " +
                                std::to_string(delay.count()) + " us: " + problems);
    }
  }
}

TEST(Interrupt, AtRandomMomentsEndsPromptlyAndCutsEveryFileAfterALine) {
  const reference ref = uninterrupted_run();
  ASSERT_FALSE(ref.files.at("wave1.csv").empty());
  // Two runs at a time, one per core.
  const int runs = interrupt_runs();
  std::array<worker_report, 2> reports;
  std::random_device seeds;
  std::array<unsigned, 2> seed = {seeds(), seeds()};
  {
    std::jthread second(interrupt_repeatedly, runs / 2, seed[1], std::cref(ref),
                        std::ref(reports[1]));
    interrupt_repeatedly(runs - runs / 2, seed[0], ref, reports[0]);
  }
  seconds worst{0};
  int interrupted = 0;
  for (const worker_report& report : reports) {
    for (const std::string& failure : report.failures) ADD_FAILURE() << failure;
    worst = std::max(worst, report.worst);
    interrupted += report.interrupted;
  }
  RecordProperty("runs", runs);
  RecordProperty("interrupted", interrupted);
  RecordProperty("worst_ms", static_cast<int>(worst.count() * 1000));
  RecordProperty("uninterrupted_ms", static_cast<int>(ref.run_time.count() * 1000));
  EXPECT_GT(interrupted, runs / 2) << "most moments should fall inside the run";
}

// Waits until the process sleeps: blocked in a wait it cannot leave alone.
bool sleeping(pid_t pid) {
  for (int tries = 0; tries < 1000; ++tries) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const auto state = line.rfind(')');
    if (state != std::string::npos && line.substr(state + 2, 1) == "S") return true;
    std::this_thread::sleep_for(5ms);
  }
  return false;
}

// The program writes wave1.csv into a FIFO that nobody reads: once the pipe is
// full its write waits for room that never comes.
struct blocked_writer {
  scratch_dir dir;
  pid_t pid = -1;

  blocked_writer() {
    dir.write("wave.csv", sine_record(32768, 0.005f));
    dir.write("soil_dat.csv", half_space_soil(1));
    EXPECT_EQ(mkfifo((dir / "wave1.csv").c_str(), 0644), 0);
    dir.write("answers", "wave.csv\n0\n0\n");
    const int in = ::open((dir / "answers").c_str(), O_RDONLY);
    const int out = ::open("/dev/null", O_WRONLY);
    const int err = ::open((dir / "stderr").c_str(), O_WRONLY | O_CREAT, 0644);
    pid = start_with_streams(dir, {in, out, err}, 0);
    ::close(in);
    ::close(out);
    ::close(err);
  }
  std::string err() const { return dir.read("stderr"); }
};

TEST(Interrupt, WriteWaitingOnAFullPipeEndsPromptly) {
  blocked_writer w;
  ASSERT_TRUE(sleeping(w.pid));
  const auto signalled = std::chrono::steady_clock::now();
  kill(w.pid, SIGINT);
  run_result r;
  EXPECT_TRUE(wait_for_end(w.pid, 5000ms, r)) << "still waiting on the pipe";
  EXPECT_LT(seconds(std::chrono::steady_clock::now() - signalled), prompt_end);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(w.err(), "Interrupt\n");
}

TEST(Interrupt, StoppedInAWriteThenSignalledEndsWhenContinued) {
  // As a debugger would leave it: stopped in the write, signalled, continued.
  blocked_writer w;
  ASSERT_TRUE(sleeping(w.pid));
  kill(w.pid, SIGSTOP);
  kill(w.pid, SIGTERM);
  kill(w.pid, SIGCONT);
  run_result r;
  EXPECT_TRUE(wait_for_end(w.pid, 5000ms, r)) << "still waiting on the pipe";
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(w.err(), "Killed\n");
}

TEST(Interrupt, HangUpEndsLikeATerminationRequest) {
  scratch_dir dir;
  const run_result r = interrupt_at_prompt(dir, "Enter Wave Data", SIGHUP);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "Killed\n");
}

TEST(Interrupt, AtTheCornerPromptKeepsTheTableWrittenAndCutsNothingElse) {
  scratch_dir dir;
  dir.write("wave.csv", sine_record(1000, 0.01f));
  dir.write("soil_dat.csv", three_layer_soil());
  const run_result whole = run_program(dir, "wave.csv\n0\n1\n0.5 1 20 25\n");
  ASSERT_EQ(whole.exit_code, 0) << whole.err;
  const std::string table = dir.read("Amp-Factors.csv");
  dir.write("Amp-Factors.csv", junk_for(table));
  dir.write("amp1.csv", "older spectra\n");
  const run_result r = interrupt_at_prompt(dir, "wave.csv\n0\n1\n", "Enter fL1,fL2", SIGINT);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "Interrupt\n");
  EXPECT_EQ(dir.read("Amp-Factors.csv"), table);
  EXPECT_EQ(dir.read("amp1.csv"), "older spectra\n");
}

}  // namespace
}  // namespace sitewave::testing
