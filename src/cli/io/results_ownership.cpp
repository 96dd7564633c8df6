// Recognising sitewave's own results folders and staging folders. Every
// removal here names what it removes; nothing is removed recursively unless
// each entry under it is one sitewave writes.
#include "cli/io/results_ownership.hpp"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <random>
#include <system_error>
#include <vector>

#include "cli/io/file_io.hpp"
#include "cli/io/json_reader.hpp"
#include "textfmt/result_rows.hpp"

namespace sitewave::cli {

namespace fs = std::filesystem;

namespace {

// Every file a run of any version writes into its results folder.
constexpr std::array<std::string_view, 12> result_files{textfmt::amp_factors_file,
                                                        textfmt::spectrum_file,
                                                        textfmt::wave_file,
                                                        "transfer.csv",
                                                        "spectra.csv",
                                                        "surface.csv",
                                                        "response.csv",
                                                        "run.json",
                                                        "profile.csv",
                                                        "depth_motions.csv",
                                                        "intensity.csv",
                                                        "curves.csv"};
// The folder `sitewave plot` draws into by default, and what it holds.
constexpr std::string_view plots_folder = "plots";

bool is_result_file(std::string_view name) {
  return std::find(result_files.begin(), result_files.end(), name) != result_files.end();
}

bool is_figure(const fs::directory_entry& e) {
  std::error_code ec;
  return e.is_regular_file(ec) && !e.is_symlink(ec) && e.path().extension() == ".png";
}

// The plots/ folder of a results folder: figures only.
bool holds_only_figures(const fs::path& folder) {
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    if (!is_figure(e)) return false;
  }
  return !ec;
}

bool is_result_entry(const fs::directory_entry& e) {
  std::error_code ec;
  const std::string name = e.path().filename().string();
  if (e.is_symlink(ec)) return false;
  if (name == plots_folder) return e.is_directory(ec) && holds_only_figures(e.path());
  return is_result_file(name) && e.is_regular_file(ec);
}

bool written_by_sitewave(const fs::path& run_json) {
  std::error_code ec;
  if (!fs::is_regular_file(fs::symlink_status(run_json, ec))) return false;
  try {
    const std::optional<json_value> run = parse_json(read_file(run_json));
    const json_value* program = run ? run->find("program") : nullptr;
    return program != nullptr && program->text == "sitewave";
  } catch (const std::exception&) {
    return false;
  }
}

// Whether `inner` is `outer` or lies below it (both canonical).
bool lies_within(const fs::path& inner, const fs::path& outer) {
  const auto [o, i] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
  return o == outer.end();
}

fs::path canonical_or_same(const fs::path& p) {
  std::error_code ec;
  fs::path c = fs::weakly_canonical(fs::absolute(p), ec);
  return ec ? fs::absolute(p).lexically_normal() : c;
}

// The start time of a process (clock ticks since boot, field 22 of its
// stat line), or "" when there is no such process.
std::string start_time_of(long pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return {};
  std::size_t at = line.rfind(')');  // the command name may hold blanks
  if (at == std::string::npos) return {};
  // Fields after the name start at field 3; the start time is field 22.
  for (int field = 3; field <= 22; ++field) {
    at = line.find_first_not_of(' ', line.find(' ', at));
    if (at == std::string::npos) return {};
    if (field == 22) return line.substr(at, line.find(' ', at) - at);
  }
  return {};
}

// Whether the staging folder name (after the prefix) names a live owner:
// "<pid>-<start>-<random>".
bool owner_lives(std::string_view rest) {
  const std::size_t first = rest.find('-');
  const std::size_t second = rest.find('-', first == std::string_view::npos ? 0 : first + 1);
  if (first == std::string_view::npos || second == std::string_view::npos) return true;
  const std::string pid(rest.substr(0, first));
  const std::string start(rest.substr(first + 1, second - first - 1));
  if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) return true;
  return start_time_of(std::stol(pid)) == start;
}

std::string staging_prefix(const fs::path& target) {
  std::string prefix(1, '.');  // hidden beside the target
  return prefix.append(target.filename().string()).append(".staging-");
}

// The names of what a folder holds besides sitewave's results; nothing when
// it cannot be read.
std::optional<std::vector<std::string>> foreign_entries(const fs::path& folder) {
  std::vector<std::string> foreign;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    if (!is_result_entry(e)) foreign.push_back(e.path().filename().string());
  }
  if (ec) return std::nullopt;
  return foreign;
}

}  // namespace

std::optional<std::string> why_not_results(const fs::path& folder) {
  const auto entries = foreign_entries(folder);
  if (!entries) return std::string("cannot be read");
  std::vector<std::string> foreign = *entries;
  if (!foreign.empty()) {
    std::sort(foreign.begin(), foreign.end());
    std::string shown;
    for (std::size_t i = 0; i < foreign.size() && i < 3; ++i) {
      shown += (i == 0 ? "" : ", ") + foreign[i];
    }
    if (foreign.size() > 3) shown += " and " + std::to_string(foreign.size() - 3) + " more";
    return "holds what sitewave does not write there (" + shown + ")";
  }
  if (!written_by_sitewave(folder / "run.json")) return "holds no run.json written by sitewave";
  return std::nullopt;
}

std::optional<std::string> why_protected(const fs::path& folder, std::span<const fs::path> inputs) {
  const fs::path target = canonical_or_same(folder);
  std::error_code ec;
  const fs::path here = fs::current_path(ec);
  if (!ec && lies_within(canonical_or_same(here), target)) {
    return target == canonical_or_same(here) ? std::string("is the current folder")
                                             : std::string("holds the current folder");
  }
  for (const fs::path& input : inputs) {
    if (lies_within(canonical_or_same(input), target)) {
      return "holds " + input.string() + ", an input of this run";
    }
  }
  return std::nullopt;
}

void remove_results(const fs::path& folder) {
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    if (!is_result_entry(e)) continue;
    if (e.path().filename() == plots_folder) {
      for (const auto& figure : fs::directory_iterator(e.path(), ec)) {
        if (is_figure(figure)) fs::remove(figure.path(), ec);
      }
    }
    fs::remove(e.path(), ec);  // a folder only once it is empty
  }
  fs::remove(folder, ec);
}

std::string staging_name(const fs::path& target) {
  std::random_device seed;
  const long pid = static_cast<long>(::getpid());
  return staging_prefix(target) + std::to_string(pid) + "-" + start_time_of(pid) + "-" +
         std::to_string(seed() % 1000000);
}

void remove_stale_staging(const fs::path& target) {
  const std::string prefix = staging_prefix(target);
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(target.parent_path(), ec)) {
    const std::string name = e.path().filename().string();
    if (!name.starts_with(prefix) || e.is_symlink(ec) || !e.is_directory(ec)) continue;
    if (owner_lives(std::string_view(name).substr(prefix.size()))) continue;
    // A staging folder holds results being written; anything else stays.
    const auto foreign = foreign_entries(e.path());
    if (foreign && foreign->empty()) remove_results(e.path());
  }
}

}  // namespace sitewave::cli
