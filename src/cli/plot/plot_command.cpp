// Runs the plotting script (Python with matplotlib) on a results folder and
// hands back its exit status. The script is looked for beside an installed
// program (../share/sitewave), then in the source tree the program was built
// from; SITEWAVE_PLOT_SCRIPT and SITEWAVE_PYTHON override both choices.
#include "cli/plot/plot_command.hpp"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/io/errors.hpp"

#ifndef SITEWAVE_SOURCE_DIR
#define SITEWAVE_SOURCE_DIR ""
#endif

namespace sitewave::cli {

namespace fs = std::filesystem;

namespace {

constexpr const char* script_name = "sitewave_plot.py";
// Debian's interpreter, where python3-matplotlib installs.
constexpr const char* default_python = "/usr/bin/python3";

fs::path plot_script() {
  if (const char* chosen = std::getenv("SITEWAVE_PLOT_SCRIPT")) return chosen;
  std::error_code ec;
  const fs::path program = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const fs::path installed = program.parent_path().parent_path() / "share/sitewave" / script_name;
    if (fs::exists(installed, ec)) return installed;
  }
  const fs::path source = fs::path(SITEWAVE_SOURCE_DIR) / "scripts" / script_name;
  if (fs::exists(source, ec)) return source;
  throw input_error(std::string("the plotting script ") + script_name +
                    " was not found beside the program (share/sitewave) or in its source tree; "
                    "set SITEWAVE_PLOT_SCRIPT to its path");
}

constexpr option_spec plot_specs[] = {
    {"out", "PLOTDIR", "folder for the PNG files (default: DIR/plots)"},
    {"dpi", "N", "resolution (default 120, from 30 to 600; figures are 10 x 7 in)"},
    {"units", "UNIT", "show accelerations in g, m/s2, cm/s2, gal or mm/s2 (a known record unit)"},
};

}  // namespace

std::span<const option_spec> plot_option_specs() {
  return plot_specs;
}

int plot_command(std::span<const std::string_view> words) {
  const arguments checked(words, plot_specs, "sitewave plot");  // the script reads the values
  if (checked.positional().size() != 1) {
    throw usage_error(
        "plot needs one results folder: sitewave plot DIR (see sitewave plot --help)");
  }
  const char* python = std::getenv("SITEWAVE_PYTHON");
  if (python == nullptr) python = default_python;
  const std::string script = plot_script().string();
  std::vector<std::string> args{python, script};
  for (const std::string_view w : words) args.emplace_back(w);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child < 0) throw input_error("cannot start the plotting script");
  if (child == 0) {
    execv(python, argv.data());
    _exit(127);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
    throw input_error(std::string("cannot run ") + python +
                      ": plotting needs Python 3 with matplotlib (Debian: apt-get install "
                      "python3-matplotlib), or set SITEWAVE_PYTHON");
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace sitewave::cli
