// The table `sitewave curves` prints: a built-in model with the parameters
// given (defaults for the rest), or a curve of a user's table, read at the
// strains asked for or at the default listing's, strains and damping in
// percent.
#include "cli/curves/curves_command.hpp"

#include <cstdio>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/inputs/curve_file.hpp"
#include "cli/io/errors.hpp"
#include "cli/options/option_table.hpp"
#include "core/soil/model_registry.hpp"

namespace sitewave::cli {

namespace {

struct curves_options {
  struct given {
    std::string_view option;
    std::string written;
    double value;
  };
  std::vector<given> parameters;
  std::vector<double> strains_percent;
  std::optional<std::string> curves;
};

// Which model parameter each option sets.
constexpr std::pair<std::string_view, std::string_view> parameter_options[] = {
    {"pi", "PI"},       {"ocr", "OCR"}, {"stress-atm", "sigma_m"}, {"frequency-hz", "frequency"},
    {"cycles", "N"},    {"cu", "Cu"},   {"d50-mm", "D50"},         {"depth-m", "depth"}};

template <std::size_t K>
void parameter(curves_options& o, std::string_view v) {
  const std::string_view option = parameter_options[K].first;
  o.parameters.push_back({option, std::string(v), number_value(option, v)});
}

// clang-format off
constexpr option_row<curves_options> curves_option_table[] = {
    {{"pi", "P", "plasticity index, % (darendeli, vucetic-dobry)"}, parameter<0>},
    {{"ocr", "R", "overconsolidation ratio (darendeli; default 1)"}, parameter<1>},
    {{"stress-atm", "S", "mean effective stress in atm (darendeli, menq)"}, parameter<2>},
    {{"frequency-hz", "F", "loading frequency in Hz (darendeli; default 1)"}, parameter<3>},
    {{"cycles", "N", "number of loading cycles (darendeli, menq; default 10)"}, parameter<4>},
    {{"cu", "C", "coefficient of uniformity (menq)"}, parameter<5>},
    {{"d50-mm", "D", "mean grain size D50 in mm (menq)"}, parameter<6>},
    {{"depth-m", "Z", "depth of the layer's middle in m (epri-sand)"}, parameter<7>},
    {{"strains", "S1,S2,...", "strains in percent (default 1e-4 to 10 %, 4 a decade)"},
     [](curves_options& o, std::string_view v) {
       o.strains_percent = number_list("strains", v);
       for (const double s : o.strains_percent)
         if (!(s > 0.0)) refuse_value("strains", v, "strains in percent above 0 are expected", false);
     }},
    {{"curves", "PATH", "a table of curves (curve,strain_percent,modulus_ratio,damping_percent)\n"
                        "whose curve MODEL names"},
     [](curves_options& o, std::string_view v) { o.curves = std::string(v); }},
};
// clang-format on

std::string_view option_of(std::string_view parameter_name) {
  for (const auto& [option, name] : parameter_options)
    if (name == parameter_name) return option;
  return {};
}

std::string options_of(const soil::model_spec& m) {
  std::string text;
  for (const soil::parameter_spec& p : m.parameters)
    text += (text.empty() ? "--" : ", --") + std::string(option_of(p.name));
  return text.empty() ? "none" : text;
}

soil::curve model_curve(std::string_view name, const curves_options& o) {
  const soil::model_spec* m = soil::find_soil_model(name);
  std::vector<soil::parameter_value> values;
  for (const auto& [option, written, value] : o.parameters) {
    const soil::parameter_spec* declared = nullptr;
    for (const soil::parameter_spec& p : m->parameters)
      if (option_of(p.name) == option) declared = &p;
    if (declared == nullptr)
      refuse_value(option, written,
                   std::string(name) + " does not take it; its options are " + options_of(*m),
                   false);
    if (!soil::accepts(*declared, value))
      refuse_value(option, written,
                   std::string(name) + " takes " + std::string(declared->name) + " in " +
                       soil::range_text(*declared) + " (" + std::string(declared->meaning) + ")",
                   false);
    values.push_back({declared->name, value});
  }
  for (const soil::parameter_spec& p : m->parameters) {
    bool given = false;
    for (const auto& v : values) given = given || v.name == p.name;
    if (!given && !p.fallback)
      throw usage_error(std::string(name) + " needs --" + std::string(option_of(p.name)) + " (" +
                        std::string(p.meaning) + "); see sitewave curves --help");
  }
  try {
    return soil::make_curve(name, values);
  } catch (const std::invalid_argument& e) {
    throw input_error(e.what());
  }
}

soil::curve chosen_curve(std::string_view name, const curves_options& o) {
  if (soil::find_soil_model(name) != nullptr) return model_curve(name, o);
  std::string known;
  for (const soil::model_spec& s : soil::soil_models())
    known += (known.empty() ? "" : ", ") + std::string(s.name);
  if (!o.curves)
    throw usage_error("unknown soil model " + std::string(name) + "; the models are " + known +
                      " (or a curve of --curves FILE)");
  const user_curves table = read_user_curves(*o.curves);
  const soil::curve* c = table.find(name);
  if (c == nullptr)
    throw input_error(*o.curves + ": no curve " + std::string(name) + "; its curves are " +
                      table.names() + " and the models " + known);
  if (!o.parameters.empty())
    refuse_value(o.parameters.front().option, o.parameters.front().written,
                 "a tabulated curve takes no parameters", false);
  return *c;
}

}  // namespace

std::span<const option_spec> curves_option_specs() {
  static const std::vector<option_spec> specs = specs_of<curves_options>(curves_option_table);
  return specs;
}

int curves_command(std::span<const std::string_view> words) {
  const arguments args(words, curves_option_specs(), "sitewave curves");
  if (args.positional().size() != 1)
    throw usage_error("curves takes one MODEL (see sitewave curves --help)");
  curves_options o;
  const auto problems = read_each_option<curves_options>(args, curves_option_table, o);
  if (!problems.empty()) throw option_error(problems.front());
  const soil::curve c = chosen_curve(args.positional().front(), o);
  std::vector<double> strains;
  for (const double s : o.strains_percent) strains.push_back(soil::ratio_from_percent(s));
  if (strains.empty()) strains = soil::default_strains();
  std::string out = "strain_percent,modulus_ratio,damping_percent\n";
  char line[96];
  for (const double s : strains) {
    std::snprintf(line, sizeof line, "%.6g,%.6g,%.6g\n", soil::percent_from_ratio(s),
                  c.modulus_ratio(s), soil::percent_from_ratio(c.damping_ratio(s)));
    out += line;
  }
  std::cout << out << std::flush;
  return exit_ok;
}

}  // namespace sitewave::cli
