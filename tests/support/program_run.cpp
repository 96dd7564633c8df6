// Runs the built program in a scratch directory with piped console answers.
#include "support/program_run.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace sitewave::testing {

namespace fs = std::filesystem;

scratch_dir::scratch_dir() {
  std::random_device seed;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate =
        fs::temp_directory_path() / ("sitewave-test-" + std::to_string(seed()));
    if (fs::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a scratch directory");
}

scratch_dir::~scratch_dir() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

void scratch_dir::write(std::string_view name, std::string_view content) const {
  std::ofstream file(path_ / name, std::ios::binary);
  file.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string scratch_dir::read(std::string_view name) const {
  std::ifstream file(path_ / name, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

bool scratch_dir::exists(std::string_view name) const {
  return fs::exists(path_ / name);
}

namespace {

std::string slurp(const fs::path& p) {
  std::ifstream file(p, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

// Where a run's own streams go: files outside its working directory, so they
// never show among the files it leaves. Removed with the object.
class stream_files {
 public:
  explicit stream_files(const scratch_dir& dir)
      : path_(fs::temp_directory_path() / ("sitewave-io-" + dir.path().filename().string())) {
    fs::create_directory(path_);
  }
  ~stream_files() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  fs::path operator/(const char* name) const { return path_ / name; }

 private:
  fs::path path_;
};

// Starts the program in dir with console_fd as its standard input and the
// run's stream files as its other two.
pid_t start_program(const scratch_dir& dir, const stream_files& io, int console_fd, int sig,
                    const std::string& program, const std::vector<std::string>& args = {}) {
  const int out = ::open((io / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int err = ::open((io / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const pid_t child = start_with_streams(dir, {console_fd, out, err}, sig, program, args);
  ::close(out);
  ::close(err);
  return child;
}

run_result result_of(const stream_files& io, int status) {
  run_result result;
  result.out = slurp(io / "stdout");
  result.err = slurp(io / "stderr");
  record_ending(status, result);
  return result;
}

// Gives the console `answers`, waits for `prompt`, then signals the run.
run_result interrupt_answering(const scratch_dir& dir, std::string_view answers,
                               std::string_view prompt, int sig, const std::string& program) {
  const stream_files io(dir);
  int console[2];
  if (pipe(console) != 0) throw std::runtime_error("no pipe");
  if (::write(console[1], answers.data(), answers.size()) != static_cast<ssize_t>(answers.size())) {
    throw std::runtime_error("answers do not fit in a pipe");
  }
  const pid_t child = start_program(dir, io, console[0], sig, program);
  ::close(console[0]);
  for (int waited = 0; waited < 1000; ++waited) {
    if (slurp(io / "stdout").find(prompt) != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(child, sig);
  int status = 0;
  for (int waited = 0; waitpid(child, &status, WNOHANG) == 0; ++waited) {
    if (waited == 500) kill(child, SIGKILL);  // never hang the test run
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::close(console[1]);
  return result_of(io, status);
}

}  // namespace

pid_t start_with_streams(const scratch_dir& dir, const std::array<int, 3>& streams, int sig,
                         const std::string& program, const std::vector<std::string>& args) {
  const pid_t child = fork();
  if (child != 0) return child;
  if (sig != 0) std::signal(sig, SIG_DFL);
  for (int fd = 0; fd < 3; ++fd) {
    if (streams[fd] < 0) {
      ::close(fd);
    } else if (dup2(streams[fd], fd) < 0) {
      _exit(127);
    }
  }
  if (chdir(dir.path().c_str()) != 0) _exit(127);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(127);
}

void record_ending(int status, run_result& result) {
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
}

run_result run_program(const scratch_dir& dir, std::string_view input, const std::string& program) {
  const stream_files io(dir);
  {
    std::ofstream in(io / "stdin", std::ios::binary);
    in.write(input.data(), static_cast<std::streamsize>(input.size()));
  }
  const int console = ::open((io / "stdin").c_str(), O_RDONLY);
  const pid_t child = start_program(dir, io, console, 0, program);
  ::close(console);
  int status = 0;
  waitpid(child, &status, 0);
  return result_of(io, status);
}

run_result run_command(const scratch_dir& dir, const std::vector<std::string>& args,
                       std::string_view input, const std::string& program) {
  const stream_files io(dir);
  {
    std::ofstream in(io / "stdin", std::ios::binary);
    in.write(input.data(), static_cast<std::streamsize>(input.size()));
  }
  const int console = ::open((io / "stdin").c_str(), O_RDONLY);
  const pid_t child = start_program(dir, io, console, 0, program, args);
  ::close(console);
  int status = 0;
  waitpid(child, &status, 0);
  return result_of(io, status);
}

run_result interrupt_command(const scratch_dir& dir, const std::vector<std::string>& args, int sig,
                             const std::function<bool()>& ready, const std::string& program) {
  const stream_files io(dir);
  const int console = ::open("/dev/null", O_RDONLY);
  const pid_t child = start_program(dir, io, console, sig, program, args);
  ::close(console);
  int status = 0;
  // A loaded machine may take long to get ready; the wait ends when the
  // program does, so only a program that never gets ready costs the minute.
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!ready() && std::chrono::steady_clock::now() < give_up) {
    if (waitpid(child, &status, WNOHANG) == child) return result_of(io, status);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  kill(child, sig);
  for (int waited = 0; waitpid(child, &status, WNOHANG) == 0; ++waited) {
    if (waited == 2500) kill(child, SIGKILL);  // never hang the test run
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return result_of(io, status);
}

run_result interrupt_at_prompt(const scratch_dir& dir, std::string_view prompt, int sig,
                               const std::string& program) {
  return interrupt_answering(dir, "", prompt, sig, program);
}

run_result interrupt_at_prompt(const scratch_dir& dir, std::string_view answers,
                               std::string_view prompt, int sig) {
  return interrupt_answering(dir, answers, prompt, sig, SITEWAVE_BIN);
}

std::vector<std::vector<double>> numeric_rows(std::string_view text) {
  std::vector<std::vector<double>> rows;
  const auto lines = lines_of(text);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::vector<double> values;
    std::istringstream in(lines[i]);
    for (std::string field; std::getline(in, field, ',');) {
      values.push_back(std::strtod(field.c_str(), nullptr));
    }
    rows.push_back(values);
  }
  return rows;
}

std::vector<std::string> lines_of(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace sitewave::testing
