// Inputs and readings shared by the batch tests: a folder of small records
// and ground models with a manifest over them, and summary.csv read into
// rows addressed by column name.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cli/io/csv_rows.hpp"
#include "support/program_run.hpp"
#include "support/records.hpp"

namespace sitewave::testing {

using summary_row = std::map<std::string, std::string>;

// The rows of a summary file (or any table), each as column: cell.
inline std::vector<summary_row> table_rows(const std::string& text) {
  const std::vector<cli::csv_row> rows = cli::read_csv_rows(text);
  std::vector<summary_row> out;
  for (std::size_t r = 1; r < rows.size(); ++r) {
    summary_row row;
    for (std::size_t c = 0; c < rows[0].cells.size() && c < rows[r].cells.size(); ++c) {
      row[rows[0].cells[c]] = rows[r].cells[c];
    }
    out.push_back(row);
  }
  return out;
}

// The summary with every wall time blanked: what two ways of running the
// same suite must agree on.
inline std::vector<summary_row> without_wall_times(const std::string& text) {
  std::vector<summary_row> rows = table_rows(text);
  for (summary_row& r : rows) r["wall_s"].clear();
  return rows;
}

// A profile of `layers` rows (the last the half-space), so that a case
// takes a while.
inline std::string deep_soil(int layers) {
  std::string rows;
  for (int l = 1; l <= layers; ++l) {
    rows += std::to_string(l) + ",1.8," + std::to_string(400 + 20 * l) + ",20,0.3," +
            std::to_string(150 + 10 * l) + ",10,0.5," + (l == layers ? "0" : "4") + "\n";
  }
  return "Deep profile\n20\n1\nLayers\n" + std::to_string(layers) +
         "\nNo,Density,Vp,Qp,Fp,Vs,Qs,Fs,H\n" + rows;
}

// A manifest of n sound cases c1..cn over wave.csv and soil_dat.csv (written
// here too), with angles 0, 5, 10, ...
inline void write_sound_suite(const scratch_dir& dir, int n, int rows = 256) {
  dir.write("wave.csv", sine_record(rows, 0.01f));
  dir.write("soil_dat.csv", three_layer_soil(1));
  std::string manifest = "case,record,soil,angle\n";
  for (int i = 1; i <= n; ++i) {
    manifest.append("c").append(std::to_string(i)).append(",wave.csv,soil_dat.csv,");
    manifest.append(std::to_string(5 * (i - 1))).append("\n");
  }
  dir.write("suite.csv", manifest);
}

// The names of the case folders and other entries of a folder, hidden ones too.
inline std::vector<std::string> entries_of(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Starts the program in dir as the leader of a process group of its own, as
// a shell starts a foreground job, and returns its process id.
inline pid_t start_as_job(const scratch_dir& dir, const std::vector<std::string>& args) {
  const pid_t child = fork();
  if (child != 0) return child;
  setpgid(0, 0);
  std::signal(SIGINT, SIG_DFL);
  const int null = ::open("/dev/null", O_RDWR);
  if (null < 0 || dup2(null, 0) < 0 || dup2(null, 1) < 0 || dup2(null, 2) < 0 ||
      chdir(dir.path().c_str()) != 0) {
    _exit(127);
  }
  std::vector<char*> argv{const_cast<char*>(SITEWAVE_BIN)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(SITEWAVE_BIN, argv.data());
  _exit(127);
}

}  // namespace sitewave::testing
