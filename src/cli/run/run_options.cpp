// Parsing and checking the options of `sitewave run`. Malformed values are
// usage errors; well-formed values that cannot give a sound analysis (filter
// corners out of order, an angle outside 0..90 degrees) are refusals.
#include "cli/run/run_options.hpp"

#include <cmath>
#include <functional>

#include "cli/io/errors.hpp"
#include "core/shaping/shaping.hpp"

namespace sitewave::cli {

namespace {

constexpr option_spec specs[] = {
    {"record", true},  {"at2", true},     {"soil", true},    {"angle", true},   {"input", true},
    {"motion", true},  {"filter", true},  {"scale", true},   {"units", true},   {"out", true},
    {"force", false},  {"physics", true}, {"periods", true}, {"damping", true}, {"smoothing", true},
    {"threads", true}, {"quiet", false},
};

[[noreturn]] void bad(std::string_view option, std::string_view value, std::string expected,
                      bool usage = true) {
  throw option_error({std::string(option), std::string(value), std::move(expected), usage});
}

template <class T>
T keyword(std::string_view option, std::string_view value,
          std::initializer_list<std::pair<std::string_view, T>> choices, const char* expected) {
  for (const auto& [name, v] : choices) {
    if (name == value) return v;
  }
  bad(option, value, expected);
}

void read_source(const arguments& args, run_options& o) {
  o.record = args.value("record");
  if (const auto at2 = args.value("at2")) {
    const auto paths = text_list(*at2);
    if (paths.size() != 3) bad("at2", *at2, "three files H1,H2,V separated by commas are expected");
    o.at2 = std::array<std::string, 3>{paths[0], paths[1], paths[2]};
  }
  if (o.record && o.at2) bad("at2", *args.value("at2"), "give either --record or --at2, not both");
  if (!o.record && !o.at2) bad("record", "", "a record is needed: --record PATH or --at2 H1,H2,V");
  if (const auto soil = args.value("soil")) o.soil = *soil;
}

void read_physics(const arguments& args, run_options& o) {
  if (const auto v = args.value("angle")) {
    const double angle = number_value("angle", *v);
    if (angle < 0.0 || angle >= 90.0) {
      bad("angle", *v, "an incidence angle from 0 up to (not including) 90 degrees is expected",
          false);
    }
    o.angle_deg = static_cast<float>(angle);
  }
  if (const auto v = args.value("input")) {
    o.input = keyword<input_kind>("input", *v,
                                  {{"incident", input_kind::incident},
                                   {"within", input_kind::within},
                                   {"outcrop", input_kind::outcrop}},
                                  "incident, within or outcrop is expected");
  }
  if (const auto v = args.value("physics")) {
    o.physics = keyword<physics_kind>(
        "physics", *v, {{"legacy", physics_kind::legacy}, {"exact", physics_kind::exact}},
        "legacy or exact is expected");
  }
}

void read_shaping(const arguments& args, run_options& o) {
  if (const auto v = args.value("motion")) {
    o.motion = keyword<int>(
        "motion", *v,
        {{"none", 0}, {"integrate", shaping::integrate}, {"differentiate", shaping::differentiate}},
        "none, integrate or differentiate is expected");
  }
  if (const auto v = args.value("filter")) {
    const std::vector<double> f = number_list("filter", *v);
    if (f.size() != 4) bad("filter", *v, "four corner frequencies F1,F2,F3,F4 in Hz are expected");
    if (!(0.0 <= f[0] && f[0] <= f[1] && f[1] <= f[2] && f[2] <= f[3] && f[0] < f[3])) {
      bad("filter", *v, "corners with 0 <= F1 <= F2 <= F3 <= F4 and F1 < F4 are expected", false);
    }
    o.filter = std::array<float, 4>{static_cast<float>(f[0]), static_cast<float>(f[1]),
                                    static_cast<float>(f[2]), static_cast<float>(f[3])};
  }
  if (const auto v = args.value("scale")) {
    const double s = number_value("scale", *v);
    if (s == 0.0) bad("scale", *v, "a non-zero factor is expected", false);
    o.scale = static_cast<float>(s);
  }
  if (const auto v = args.value("units")) o.units = *v;
}

void read_results(const arguments& args, run_options& o) {
  if (const auto v = args.value("out")) {
    if (v->empty()) bad("out", *v, "a folder path is expected");
    o.out = *v;
  }
  o.force = args.flag("force");
  o.quiet = args.flag("quiet");
  if (const auto v = args.value("periods")) o.periods = *v;
  if (const auto v = args.value("damping")) {
    o.damping = number_list("damping", *v);
    for (const double d : o.damping) {
      if (d < 0.0 || d >= 1.0)
        bad("damping", *v, "damping ratios from 0 up to 1 are expected", false);
    }
  }
  if (const auto v = args.value("smoothing")) {
    o.smoothing = number_value("smoothing", *v);
    if (o.smoothing <= 0.0) bad("smoothing", *v, "a positive bandwidth b is expected", false);
  }
  if (const auto v = args.value("threads")) {
    const double n = number_value("threads", *v);
    if (n < 1 || n != std::floor(n) || n > 1024)
      bad("threads", *v, "a whole number from 1 is expected");
    o.threads = static_cast<int>(n);
  }
}

using reader = void (*)(const arguments&, run_options&);
constexpr reader readers[] = {read_source, read_physics, read_shaping, read_results};

}  // namespace

std::span<const option_spec> run_option_specs() {
  return specs;
}

run_options parse_run_options(const arguments& args) {
  if (!args.positional().empty()) {
    throw usage_error("run takes no word " + args.positional().front() +
                      " without an option (see sitewave --help)");
  }
  run_options o;
  for (const reader r : readers) r(args, o);
  return o;
}

std::vector<option_problem> run_option_problems(const arguments& args) {
  std::vector<option_problem> problems;
  for (const reader r : readers) {
    run_options o;
    try {
      r(args, o);
    } catch (const option_error& e) {
      problems.push_back(e.problem());
    }
  }
  return problems;
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

std::string_view motion_name(int motion) {
  if (motion == shaping::integrate) return "integrate";
  if (motion == shaping::differentiate) return "differentiate";
  return "none";
}

}  // namespace sitewave::cli
