// Planning a batch. A case counts as done only when its folder is complete
// and its run.json carries the digest of the very inputs and options the
// manifest now gives; anything else runs (again).
#include "cli/batch/batch_plan.hpp"

#include <cstdio>
#include <map>
#include <system_error>

#include "cli/batch/case_folder.hpp"
#include "cli/io/results_ownership.hpp"
#include "cli/run/run_options.hpp"

namespace sitewave::cli {

namespace fs = std::filesystem;

namespace {

input_fingerprint fingerprint_of_case(const manifest_case& mc, input_files& known) {
  const std::vector<std::string_view> words(mc.options.begin(), mc.options.end());
  return fingerprint_of(arguments(words, run_option_specs()), known);
}

bool same_inputs(const case_folder& found, const input_fingerprint& f) {
  return found.complete && f.readable && found.digest == f.digest;
}

}  // namespace

std::vector<planned_case> plan_cases(std::span<const manifest_case* const> share,
                                     const fs::path& dir, const case_records& records, bool force) {
  input_files known;
  std::vector<planned_case> plan;
  plan.reserve(share.size());
  for (const manifest_case* mc : share) {
    planned_case c;
    c.source = mc;
    c.folder = dir / mc->name;
    c.fingerprint = fingerprint_of_case(*mc, known);
    c.outcome.name = mc->name;
    remove_stale_staging(c.folder);  // left by a batch killed whole, whether or not it runs now
    const case_folder found = read_case_folder(c.folder);
    std::error_code ec;
    c.replaces_results = force || found.complete || fs::exists(c.folder / "run.json", ec);
    if (!force && same_inputs(found, c.fingerprint)) {
      c.to_run = false;
      c.outcome = collected_outcome(c, records);
    }
    plan.push_back(std::move(c));
  }
  return plan;
}

case_outcome collected_outcome(const planned_case& c, const case_records& records) {
  case_outcome o;
  o.name = c.source->name;
  const case_folder found = read_case_folder(c.folder);
  const std::optional<case_outcome> noted = records.noted(o.name, c.fingerprint.digest);
  if (same_inputs(found, c.fingerprint)) {
    o.status = status_of_results(found);
    o.results = found;
    if (noted && has_results(noted->status)) o.wall_s = noted->wall_s;
  } else if (noted && !has_results(noted->status)) {
    o = *noted;
  } else if (found.complete) {
    o.status = case_status::stale;
    o.error = "the results are from other inputs or another program version; run the batch again";
  } else {
    o.status = case_status::pending;
    o.error = "no results yet";
  }
  return o;
}

void warn_about_missing_inputs(std::span<const planned_case> cases, const manifest& m) {
  struct use {
    std::string role;
    int first_line = 0;
    int rows = 0;
  };
  std::map<fs::path, use> missing;
  for (const planned_case& c : cases) {
    if (!c.to_run) continue;
    for (const input_file& f : c.fingerprint.files) {
      std::error_code ec;
      if (f.size >= 0 || fs::exists(f.path, ec)) continue;
      use& u = missing[f.path];
      if (u.rows++ == 0) {
        u.role = f.role;
        u.first_line = c.source->line;
      }
    }
  }
  for (const auto& [path, u] : missing) {
    std::fprintf(stderr,
                 "sitewave: warning: %s line %d: %s file %s does not exist; %d %s using it "
                 "will be refused\n",
                 m.path.c_str(), u.first_line, u.role.c_str(), path.c_str(), u.rows,
                 u.rows == 1 ? "case" : "cases");
  }
}

std::vector<std::string> run_arguments(const planned_case& c) {
  std::vector<std::string> args{"run"};
  args.insert(args.end(), c.source->options.begin(), c.source->options.end());
  args.push_back("--out=" + c.folder.string());
  args.push_back("--quiet");
  args.push_back("--threads=1");  // the batch runs several cases at once instead
  // Cases that share a record share its spectra.
  args.push_back("--cache=" + (c.folder.parent_path() / ".batch" / "cache").string());
  if (c.replaces_results) args.push_back("--force");
  return args;
}

}  // namespace sitewave::cli
