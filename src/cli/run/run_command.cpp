// `sitewave run`: the options checked and fingerprinted, the results folder
// staged, every result written into it as it is made and the folder put in
// place only when all went well; then a short summary on the console.
#include "cli/run/run_command.hpp"

#include <cmath>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <utility>
#include <vector>

#include "cli/analysis/analysis.hpp"
#include "cli/inputs/record.hpp"
#include "cli/io/errors.hpp"
#include "cli/io/fingerprint.hpp"
#include "cli/io/interrupts.hpp"
#include "cli/io/results_folder.hpp"
#include "cli/run/run_json.hpp"
#include "cli/run/run_options.hpp"
#include "cli/run/run_results.hpp"

namespace sitewave::cli {

namespace {

void warn(const std::string& text) {
  std::fflush(stdout);
  std::fprintf(stderr, "sitewave: warning: %s\n", text.c_str());
}

std::string shown_peak(double v) {
  if (std::isnan(v)) return "nan";
  std::ostringstream s;
  s << v;
  return s.str();
}

// How each horizontal's equivalent-linear iteration ended.
std::string iterations_line(const site_results& site) {
  std::string line = "eql      ";
  for (const component_profile& c : site.components) {
    if (!c.outcome) continue;
    if (line.size() > 9) line += "  ";
    line += component_names[c.component];
    line += *c.outcome == eql::eql_outcome::converged ? " converged in " : " not converged in ";
    line += std::to_string(c.iterations) + " analyses";
  }
  return line + "\n";
}

void print_summary(const run_facts& f, const results_folder& folder) {
  const peaks p = peaks_of(f.rec, f.result);
  std::ostringstream s;
  s << "record   ";
  for (std::size_t i = 0; i < f.rec.paths.size(); ++i) s << (i ? ", " : "") << f.rec.paths[i];
  s << ": " << f.rec.rows() << " rows, dt " << f.result.dt << " s, transform size " << f.result.nf;
  if (!f.rec.complete()) {
    s << "; " << (f.rec.components == 1 ? "H1 only (no H2, no V1)" : "H1 and H2 (no V1)");
  }
  s << "\nmodel    " << ground_file(f.options) << ": " << f.model.layers.nl - 1
    << " layers over a half-space, angle " << f.angle_deg << " deg, input " << input_name(f.input)
    << ", physics " << physics_name(f.options.physics) << "\n";
  const auto peaks_line = [&](const char* label, const std::array<double, 3>& v) {
    s << label;
    for (std::size_t c = 0; c < f.rec.components; ++c) {
      s << (c ? "  " : "") << component_names[c] << " " << shown_peak(v[c]);
    }
    s << "\n";
  };
  if (f.site && f.options.analysis == analysis_kind::eql) s << iterations_line(*f.site);
  peaks_line("peaks    input    ", p.input);
  peaks_line("         surface  ", p.surface);
  s << "results  " << folder.target().string() << "\n";
  std::cout << s.str() << std::flush;
}

}  // namespace

int run_command(std::span<const std::string_view> words) {
  const arguments args(words, run_option_specs(), "sitewave run");
  const run_options o = parse_run_options(args);
  input_files known;  // taken before reading: an input edited meanwhile then shows as changed
  const input_fingerprint fingerprint = fingerprint_of(args, known);
  std::vector<std::filesystem::path> inputs;
  for (const input_file& f : fingerprint.files) inputs.push_back(f.path);
  results_folder folder(o.out, o.force, inputs);

  const run_inputs in = read_run_inputs(o, warn);
  const int threads = threads_for(o);
  const run_products p = make_results(
      o, in, work_control{threads, &interrupt_flag()},
      [&folder](std::string_view name, const file_maker& make) {
        check_interrupt();
        folder.write(name, make);
      },
      warn);
  check_interrupt();
  const run_facts facts{args,
                        o,
                        in.rec,
                        in.model,
                        p.result,
                        in.angle_deg,
                        in.input,
                        threads,
                        static_cast<int>(in.periods.size()),
                        p.files,
                        fingerprint,
                        p.not_finite,
                        p.site ? &*p.site : nullptr};
  folder.write("run.json", run_json(facts));
  check_interrupt();
  folder.commit();
  if (!o.quiet) print_summary(facts, folder);
  return exit_ok;
}

}  // namespace sitewave::cli
