// Runs the built program the way a user does: in a scratch directory of its
// own, answers piped on standard input, and the console output, the error
// stream, the ending and the files it leaves collected for comparison.
#pragma once

#include <sys/types.h>

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sitewave::testing {

struct run_result {
  std::string out;     // standard output
  std::string err;     // standard error
  int exit_code = -1;  // exit status, or -1 when ended by a signal
  int signal = 0;      // the ending signal, 0 for a normal exit
};

// A fresh empty directory under the system's temporary directory, removed
// with everything in it when the object goes.
class scratch_dir {
 public:
  scratch_dir();
  ~scratch_dir();
  scratch_dir(const scratch_dir&) = delete;
  scratch_dir& operator=(const scratch_dir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  void write(std::string_view name, std::string_view content) const;
  std::string read(std::string_view name) const;
  bool exists(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

// Runs the program (the built sitewave unless `program` is given) in dir
// with `input` on its standard input.
run_result run_program(const scratch_dir& dir, std::string_view input,
                       const std::string& program = SITEWAVE_BIN);

// Runs the program in dir as a command, with the given arguments (after the
// program name) and `input` on its standard input.
run_result run_command(const scratch_dir& dir, const std::vector<std::string>& args,
                       std::string_view input = {}, const std::string& program = SITEWAVE_BIN);

// Starts the command in dir, waits until `ready(elapsed)` says so (it is asked
// every few milliseconds), sends it `sig` and waits for its end.
run_result interrupt_command(const scratch_dir& dir, const std::vector<std::string>& args, int sig,
                             const std::function<bool()>& ready,
                             const std::string& program = SITEWAVE_BIN);

// Runs the program in dir with a console that stays open, waits until its
// standard output holds `prompt`, then sends it signal `sig` (as a user's
// Ctrl-C would) and waits for its end.
run_result interrupt_at_prompt(const scratch_dir& dir, std::string_view prompt, int sig,
                               const std::string& program = SITEWAVE_BIN);

// The rows of a comma-separated result file after its title row, as
// numbers (an empty last field, left by a trailing comma, is dropped).
std::vector<std::vector<double>> numeric_rows(std::string_view text);

// The same after the console has been given `answers`, for a prompt further
// on in the dialogue.
run_result interrupt_at_prompt(const scratch_dir& dir, std::string_view answers,
                               std::string_view prompt, int sig);

// Starts the program in dir with the three descriptors as its standard
// input, output and error (-1: that stream closed); `sig` (when nonzero) gets its default handling,
// as at a terminal, even when the tests themselves run in the background.
// `args` are the command-line arguments after the program name.
pid_t start_with_streams(const scratch_dir& dir, const std::array<int, 3>& streams, int sig,
                         const std::string& program = SITEWAVE_BIN,
                         const std::vector<std::string>& args = {});

// Fills the exit status or ending signal of result from a wait status.
void record_ending(int status, run_result& result);

// The lines of a text, split at line feeds (a final line feed ends the last line).
std::vector<std::string> lines_of(std::string_view text);

}  // namespace sitewave::testing
