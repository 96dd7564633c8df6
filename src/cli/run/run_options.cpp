// Reading the options of `sitewave run` through its table, and the checks
// that concern more than one option.
#include "cli/run/run_options.hpp"

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
  return {};
}

std::vector<option_problem> read_all(const arguments& args, run_options& o) {
  std::vector<option_problem> problems = read_each_option<run_options>(args, run_option_table, o);
  for (option_problem& p : combination_problems(args, o)) problems.push_back(std::move(p));
  return problems;
}

}  // namespace

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

}  // namespace sitewave::cli
