// Reading the options of `sitewave run` through its table, and the checks
// that concern more than one option.
#include "cli/run/run_options.hpp"

#include <algorithm>

#include "cli/io/errors.hpp"

namespace sitewave::cli {

namespace {

// What no single option decides: a record, given in one way.
std::vector<option_problem> combination_problems(const arguments& args, const run_options& o) {
  if (o.record && o.at2) {
    return {{"at2", args.value("at2").value_or(""), "give either --record or --at2, not both"}};
  }
  if (!args.value("record") && !args.value("at2")) {
    return {{"record", "", "a record is needed: --record PATH or --at2 H1,H2,V"}};
  }
  if (o.profile && args.value("soil")) {
    return {{"profile", *o.profile, "give either --soil or --profile, not both"}};
  }
  if (o.curves && !o.profile) {
    return {{"curves", *o.curves, "curves are named by a profile's curve column: give --profile"}};
  }
  return analysis_problems(args, o);
}

std::vector<option_problem> read_all(const arguments& args, run_options& o) {
  std::vector<option_problem> problems = read_each_option<run_options>(args, run_option_table, o);
  for (option_problem& p : combination_problems(args, o)) problems.push_back(std::move(p));
  return problems;
}

}  // namespace

std::vector<option_problem> analysis_problems(const arguments& args, const run_options& o) {
  if (o.strain_ratio && o.magnitude) {
    return {{"magnitude", args.value("magnitude").value_or(""),
             "give either --strain-ratio or --magnitude, not both"}};
  }
  if (o.analysis == analysis_kind::eql && o.physics == physics_kind::legacy) {
    return {{"analysis", "eql",
             "the equivalent-linear analysis takes the exact physics: the legacy tables give no "
             "strains within the layers and no P-SV response (drop --physics legacy)",
             false}};
  }
  if (!o.depths.empty() && o.physics == physics_kind::legacy) {
    return {{"at-depth", args.value("at-depth").value_or(""),
             "motions at depth come from the exact physics (drop --physics legacy)", false}};
  }
  return {};
}

std::span<const option_spec> run_option_specs() {
  static const std::vector<option_spec> specs = specs_of<run_options>(run_option_table);
  return specs;
}

run_options parse_run_options(const arguments& args) {
  if (!args.positional().empty()) {
    throw usage_error("run takes no word " + args.positional().front() +
                      " without an option (see sitewave run --help)");
  }
  run_options o;
  const std::vector<option_problem> problems = read_all(args, o);
  if (!problems.empty()) throw option_error(problems.front());
  return o;
}

std::vector<option_problem> run_option_problems(const arguments& args) {
  run_options o;
  return read_all(args, o);
}

std::string_view input_name(input_kind k) {
  switch (k) {
    case input_kind::incident:
      return "incident";
    case input_kind::within:
      return "within";
    case input_kind::outcrop:
      return "outcrop";
  }
  return "incident";
}

std::string_view physics_name(physics_kind k) {
  return k == physics_kind::exact ? "exact" : "legacy";
}

std::string_view motion_name(motion_kind k) {
  switch (k) {
    case motion_kind::integrate:
      return "integrate";
    case motion_kind::differentiate:
      return "differentiate";
    case motion_kind::none:
      return "none";
  }
  return "none";
}

std::string_view analysis_name(analysis_kind k) {
  return k == analysis_kind::eql ? "eql" : "linear";
}

bool wants(const run_options& o, std::string_view output) {
  return o.outputs.empty() ||
         std::find(o.outputs.begin(), o.outputs.end(), output) != o.outputs.end();
}

double strain_ratio_of(const run_options& o) {
  if (o.strain_ratio) return *o.strain_ratio;
  if (o.magnitude) return (*o.magnitude - 1.0) / 10.0;
  return 0.65;
}

}  // namespace sitewave::cli
