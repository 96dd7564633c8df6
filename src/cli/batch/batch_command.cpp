// `sitewave batch MANIFEST --out DIR`: checks the whole manifest, takes this
// process's share of the cases, skips the ones whose results already stand,
// runs the rest and writes DIR/summary.csv, also when interrupted.
#include "cli/batch/batch_command.hpp"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <iostream>
#include <system_error>

#include "cli/batch/batch_options.hpp"
#include "cli/batch/batch_plan.hpp"
#include "cli/batch/batch_progress.hpp"
#include "cli/batch/batch_run.hpp"
#include "cli/batch/case_records.hpp"
#include "cli/batch/grid_expansion.hpp"
#include "cli/batch/manifest.hpp"
#include "cli/io/atomic_file.hpp"
#include "cli/io/errors.hpp"
#include "cli/io/file_io.hpp"
#include "cli/io/line_reader.hpp"

namespace sitewave::cli {

namespace fs = std::filesystem;

namespace {

manifest checked_manifest(const fs::path& path) {
  manifest m = read_manifest(path);
  if (m.problems.empty()) return m;
  for (const std::string& line : m.problems) std::cerr << "sitewave: " << line << "\n";
  throw input_error(path.string() + ": manifest refused (" + std::to_string(m.problems.size()) +
                    (m.problems.size() == 1 ? " problem" : " problems") + "); no case was run");
}

// The cases whose index in the manifest, modulo `shards`, is `shard`.
std::vector<const manifest_case*> share_of(const manifest& m, const batch_options& o) {
  std::vector<const manifest_case*> share;
  for (std::size_t i = 0; i < m.cases.size(); ++i) {
    if (i % static_cast<std::size_t>(o.shards) == static_cast<std::size_t>(o.shard)) {
      share.push_back(&m.cases[i]);
    }
  }
  return share;
}

fs::path prepared_folder(const batch_options& o) {
  const fs::path dir = fs::absolute(o.out).lexically_normal();
  std::error_code ec;
  if (o.summary_only && !fs::is_directory(dir, ec)) {
    throw input_error(dir.string() + ": no such results folder to collect a summary from");
  }
  fs::create_directories(dir, ec);
  if (!fs::is_directory(dir)) {
    throw input_error(dir.string() + ": cannot be the results folder of the batch: " +
                      (ec ? ec.message() : std::string("it exists and is not a folder")));
  }
  return dir;
}

// A summary is replaced whole at the end; a file of that name that no batch
// wrote is the user's and stays.
void check_summary_file(const batch_options& o) {
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(o.summary_file(), ec))) return;
  std::string head;
  try {
    head = read_file(o.summary_file()).substr(0, 12);
  } catch (const input_error&) {
  }
  if (head != "case,status,") {
    throw input_error(o.summary_file().string() +
                      ": exists and is not a summary written by sitewave batch; it is never "
                      "replaced: choose another --out");
  }
}

// Writes the summary and says on the console what it holds.
int conclude(std::span<const planned_case> cases, const batch_options& o, std::size_t done_before) {
  std::vector<case_outcome> outcomes;
  std::array<std::size_t, status_count> counts{};
  for (const planned_case& c : cases) {
    outcomes.push_back(c.outcome);
    ++counts[static_cast<std::size_t>(c.outcome.status)];
  }
  replace_file(o.summary_file(), summary_csv(outcomes));
  std::string line = std::to_string(cases.size()) + (cases.size() == 1 ? " case: " : " cases: ") +
                     std::to_string(counts[0]) + " ok";
  if (done_before > 0) line += " (" + std::to_string(done_before) + " from earlier runs)";
  for (std::size_t s = 1; s < status_count; ++s) {
    if (counts[s] > 0) {
      line += ", " + std::to_string(counts[s]) + " " +
              std::string(status_name(static_cast<case_status>(s)));
    }
  }
  std::cout << line << "; summary in " << o.summary_file().string() << std::endl;
  return counts[0] == cases.size() ? exit_ok : exit_refused;
}

int interrupted_end(std::span<planned_case> cases, const batch_options& o, std::size_t done_before,
                    int sig) {
  for (planned_case& c : cases) {
    if (c.to_run && c.outcome.status == case_status::pending) {
      c.outcome.error = "not started: the batch was interrupted";
    }
  }
  conclude(cases, o, done_before);
  std::fflush(stdout);
  std::cerr << "sitewave: batch interrupted by signal " << sig
            << "; run the same command again to go on" << std::endl;
  return 128 + sig;
}

}  // namespace

int batch_command(std::span<const std::string_view> words) {
  const arguments args(words, batch_option_specs(), "sitewave batch");
  const batch_options o = parse_batch_options(args);
  if (o.expand) {
    std::cout << expand_grid(read_small_file(o.manifest), o.manifest) << std::flush;
    return exit_ok;
  }
  const manifest m = checked_manifest(o.manifest);
  const std::vector<const manifest_case*> share = share_of(m, o);
  if (o.list) {
    for (const manifest_case* c : share) std::cout << c->name << "\n";
    std::cout << std::flush;
    return exit_ok;
  }
  check_summary_file(o);
  const fs::path dir = prepared_folder(o);
  const case_records records(dir);
  std::vector<planned_case> cases = plan_cases(share, dir, records, o.force);
  std::size_t done_before = 0;
  for (planned_case& c : cases) {
    if (o.summary_only && c.to_run) c.outcome = collected_outcome(c, records);
    done_before += c.to_run ? 0 : 1;
  }
  if (o.summary_only) return conclude(cases, o, 0);

  warn_about_missing_inputs(cases, m);
  batch_progress progress(cases.size(), done_before, ::isatty(STDERR_FILENO) == 1);
  const int sig = run_cases(cases, o.jobs, records, progress);
  progress.close();
  if (sig != 0) return interrupted_end(cases, o, done_before, sig);
  return conclude(cases, o, done_before);
}

}  // namespace sitewave::cli
