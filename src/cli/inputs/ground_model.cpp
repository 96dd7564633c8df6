// Reads a ground model file statement by statement, as the dialogue does:
// a skipped line, the angle, the input wave type, a skipped line, the row
// count, a skipped line, then one layer row per statement. Values that
// cannot give a sound analysis are refused with the file and line.
#include "cli/inputs/ground_model.hpp"

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "cli/io/errors.hpp"
#include "cli/io/file_io.hpp"
#include "cli/io/line_reader.hpp"
#include "core/ground/layer_checks.hpp"
#include "textfmt/list_scan.hpp"
#include "textfmt/text_source.hpp"

namespace sitewave::cli {

namespace {

class model_reader {
 public:
  model_reader(const std::string& name, std::string_view text) : where_(name), in_(text) {}

  template <class... T>
  void read(T&... targets) {
    const std::array<textfmt::read_target, sizeof...(T)> list{textfmt::read_target(targets)...};
    try {
      textfmt::scan_list(in_, list, false);
    } catch (const textfmt::scan_error& e) {
      refuse(e.line(), textfmt::describe(e));
    }
  }

  void refuse_if(const std::optional<std::string>& problem) {
    if (problem) refuse(in_.line(), *problem);
  }

 private:
  [[noreturn]] void refuse(int line, const std::string& what) {
    throw input_error(where_ + ": line " + std::to_string(line) + ": " + what);
  }

  std::string where_;
  textfmt::text_source in_;
};

// Q = 1/(2ξ): below 0.5 a damping ratio above 1, which no soil or rock has;
// such a value is a slip (a damping ratio typed where Q belongs, say) and
// gives no sound result in either physics.
constexpr float least_quality = 0.5f;

}  // namespace

std::optional<std::string> quality_problem(const ground::layer_table& t, int l) {
  for (const auto& [name, q] : {std::pair{"Qp", t.qp(l)}, std::pair{"Qs", t.qs(l)}}) {
    if (q >= least_quality) continue;
    char shown[32];
    std::snprintf(shown, sizeof shown, "%g", static_cast<double>(q));
    return "layer row " + std::to_string(l) + ", " + name + " " + shown +
           ": a quality factor of at least 0.5 (a damping ratio of at most 1) is expected";
  }
  return std::nullopt;
}

ground_model read_ground_model(const std::filesystem::path& path) {
  return parse_ground_model(read_small_file(path), path.string());
}

ground_model parse_ground_model(std::string_view text, const std::string& name) {
  model_reader in(name, text);
  ground_model m;
  ground::layer_table& t = m.layers;
  in.read();
  in.read(m.angle_deg);
  in.refuse_if(ground::angle_problem(m.angle_deg));
  in.read(m.input_type);
  in.refuse_if(ground::wave_type_problem(m.input_type));
  in.read();
  in.read(t.nl);
  in.refuse_if(ground::layer_count_problem(t.nl));
  in.read();
  for (int l = 1; l <= t.nl; ++l) {
    int number = 0;
    in.read(number, t.dns(l), t.vp(l), t.qp(l), t.fp(l), t.vs(l), t.qs(l), t.fs(l), t.thk(l));
    in.refuse_if(ground::layer_row_problem(t, l));
    in.refuse_if(quality_problem(t, l));
  }
  return m;
}

}  // namespace sitewave::cli
