// Parsing and checking the options of `sitewave batch`. Counts and shards
// are whole numbers written as such: "-j 2.5" or "--shard 1/x" is a usage error.
#include "cli/batch/batch_options.hpp"

#include <sched.h>

#include <cmath>
#include <cstdlib>
#include <optional>

#include "cli/io/errors.hpp"
#include "core/parallel/work_control.hpp"

namespace sitewave::cli {

namespace {

// A whole number from `least` to `most`, or nothing.
std::optional<int> whole_number(const std::string& text, int least, int most) {
  char* end = nullptr;
  const double v = text.empty() ? NAN : std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || !(v >= least && v <= most) ||
      v != std::floor(v)) {
    return std::nullopt;
  }
  return static_cast<int>(v);
}

}  // namespace

namespace batch_option_readers {

void out(batch_options& o, std::string_view v) {
  o.out = std::string(v);
}

void jobs(batch_options& o, std::string_view v) {
  const auto jobs = whole_number(std::string(v), 1, 1024);
  if (!jobs) refuse_value("jobs", v, "a whole number of cases at once from 1 is expected");
  o.jobs = *jobs;
}

void shard(batch_options& o, std::string_view value) {
  const std::string text(value);
  const auto slash = text.find('/');
  const auto count =
      whole_number(slash == std::string::npos ? "" : text.substr(slash + 1), 1, 1000000);
  const auto index = count ? whole_number(text.substr(0, slash), 0, *count - 1) : std::nullopt;
  if (!index) {
    throw option_error(
        {"shard", text, "K/M with whole numbers 0 <= K < M is expected (e.g. 0/4)", true});
  }
  o.shard = *index;
  o.shards = *count;
}

}  // namespace batch_option_readers

std::filesystem::path batch_options::summary_file() const {
  if (shards == 1) return out / "summary.csv";
  return out / ("summary-" + std::to_string(shard) + "-of-" + std::to_string(shards) + ".csv");
}

std::span<const option_spec> batch_option_specs() {
  static const std::vector<option_spec> specs = specs_of<batch_options>(batch_option_table);
  return specs;
}

batch_options parse_batch_options(const arguments& args) {
  batch_options o;
  if (args.positional().size() != 1) {
    throw usage_error(
        "batch takes one manifest: sitewave batch MANIFEST --out DIR (see sitewave "
        "--help)");
  }
  o.manifest = args.positional().front();
  o.jobs = available_processors();
  const std::vector<option_problem> problems =
      read_each_option<batch_options>(args, batch_option_table, o);
  if (!problems.empty()) throw option_error(problems.front());
  if (o.list && o.summary_only) throw usage_error("give either --list or --summary-only, not both");
  if (o.force && o.summary_only) throw usage_error("--summary-only runs nothing; drop --force");
  if (o.expand && (o.list || o.summary_only || o.force || !o.out.empty())) {
    throw usage_error("--expand prints a manifest and runs nothing: give it alone with the grid");
  }
  if (o.out.empty() && !o.list && !o.expand) {
    throw usage_error("batch needs --out DIR, the folder of the case folders and summary.csv");
  }
  return o;
}

int available_processors() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
  return hardware_threads();
}

}  // namespace sitewave::cli
