// Reads a ground model file as the dialogue does, statement by statement: a
// skipped line, the angle, the input wave type, a skipped line, the row
// count, a skipped line; then each layer row from a line of its own, so that
// a row running short is named where it is and not on the line after.
#include "cli/inputs/ground_model.hpp"

#include <array>
#include <cctype>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "cli/inputs/layer_warnings.hpp"
#include "cli/io/errors.hpp"
#include "cli/io/file_io.hpp"
#include "cli/io/line_reader.hpp"
#include "core/ground/layer_checks.hpp"
#include "textfmt/list_scan.hpp"
#include "textfmt/text_source.hpp"

namespace sitewave::cli {

namespace {

constexpr int values_per_row = 9;

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

  int line() const { return in_.line(); }

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
    return "layer row " + std::to_string(l) + ", " + name + " " + ground::shown(q) +
           ": a quality factor of at least 0.5 (a damping ratio of at most 1) is expected: a "
           "damping ratio typed where Q belongs?";
  }
  return std::nullopt;
}

namespace {

std::optional<std::string> count_problem(int nl) {
  if (nl >= 1) return std::nullopt;
  return "number of layer rows " + std::to_string(nl) +
         " must be at least 1 (the last row is the half-space)";
}

// The values a list-directed read finds on one line: separated by commas or
// blanks, an empty field between commas a null value, r*v counting r.
int value_count(std::string_view line) {
  int count = 0;
  bool in_value = false;
  bool after_comma = true;  // a comma with no value before it is a null value
  std::string token;
  const auto end_value = [&] {
    if (!in_value) return;
    const auto star = token.find('*');
    int repeat = 1;
    if (star != std::string::npos && star > 0) repeat = std::max(1, std::atoi(token.c_str()));
    count += repeat;
    token.clear();
    in_value = false;
  };
  for (const char c : line) {
    if (c == ',') {
      if (!in_value && after_comma) ++count;
      end_value();
      after_comma = true;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      if (in_value) after_comma = false;
      end_value();
    } else if (c == '/') {
      break;
    } else {
      in_value = true;
      token += c;
    }
  }
  end_value();
  return count;
}

bool blank(std::string_view line) {
  for (const char c : line) {
    if (!std::isspace(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::vector<std::string_view> lines_of(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

struct layer_values {
  int number = 0;
  std::array<float, 8> v{};  // dns, vp, qp, fp, vs, qs, fs, thk
};

}  // namespace

ground_model read_ground_model(const std::filesystem::path& path,
                               std::vector<std::string>* warnings) {
  return parse_ground_model(read_small_file(path), path.string(), warnings);
}

ground_model parse_ground_model(std::string_view text, const std::string& name,
                                std::vector<std::string>* warnings) {
  model_reader in(name, text);
  ground_model m;
  int counted = 0;
  in.read();
  in.read(m.angle_deg);
  in.refuse_if(ground::angle_problem(m.angle_deg));
  in.read(m.input_type);
  in.refuse_if(ground::wave_type_problem(m.input_type));
  in.read();
  in.read(counted);
  in.refuse_if(count_problem(counted));
  const int count_line = in.line();
  in.read();
  const auto lines = lines_of(text);
  const auto refuse = [&name](int line, const std::string& what) {
    throw input_error(name + ": line " + std::to_string(line) + ": " + what);
  };
  std::vector<layer_values> rows;
  std::size_t next = static_cast<std::size_t>(in.line());  // the line after the skipped one
  for (; next < lines.size(); ++next) {
    const std::string_view line = lines[next];
    const int at = static_cast<int>(next) + 1;
    if (blank(line)) continue;
    if (static_cast<int>(rows.size()) == counted) {
      int left = 0;
      for (std::size_t k = next; k < lines.size(); ++k) left += blank(lines[k]) ? 0 : 1;
      refuse(at, std::to_string(counted + left) + " layer rows where the row count on line " +
                     std::to_string(count_line) + " says " + std::to_string(counted) +
                     ": correct the count (the last row is the half-space) or remove the rows "
                     "after line " +
                     std::to_string(at - 1));
    }
    const int values = value_count(line);
    const int row = static_cast<int>(rows.size()) + 1;
    if (values != values_per_row) {
      refuse(at, "layer row " + std::to_string(row) + " has " + std::to_string(values) +
                     " values: 9 are expected (No, density, Vp, Qp, Fp, Vs, Qs, Fs, thickness)" +
                     (values > values_per_row ? "; a decimal comma?" : ""));
    }
    layer_values r;
    auto& v = r.v;
    textfmt::text_source source(line);
    const std::array<textfmt::read_target, 9> targets{r.number, v[0], v[1], v[2], v[3],
                                                      v[4],     v[5], v[6], v[7]};
    try {
      textfmt::scan_list(source, targets, false);
    } catch (const textfmt::scan_error& e) {
      refuse(at, "layer row " + std::to_string(row) + ": " + textfmt::describe(e));
    }
    rows.push_back(r);
    m.lines.push_back(at);
  }
  if (static_cast<int>(rows.size()) < counted) {
    throw input_error(name + ": the row count on line " + std::to_string(count_line) + " says " +
                      std::to_string(counted) + " layer rows but " + std::to_string(rows.size()) +
                      " follow: correct the count (the last row is the half-space) or add the "
                      "missing rows");
  }
  ground::layer_table t(counted);
  t.nl = counted;
  for (int l = 1; l <= counted; ++l) {
    const auto& v = rows[static_cast<std::size_t>(l - 1)].v;
    t.dns(l) = v[0], t.vp(l) = v[1], t.qp(l) = v[2], t.fp(l) = v[3];
    t.vs(l) = v[4], t.qs(l) = v[5], t.fs(l) = v[6], t.thk(l) = v[7];
    const int at = m.lines[static_cast<std::size_t>(l - 1)];
    for (const auto& problem : {ground::layer_row_problem(t, l), quality_problem(t, l)}) {
      if (problem) refuse(at, *problem);
    }
  }
  m.layers = std::move(t);
  if (warnings != nullptr) {
    const auto found = layer_warnings(m.layers, m.lines, name, {"Vs", "density", "Vp", "Qs", "Qp"});
    warnings->insert(warnings->end(), found.begin(), found.end());
  }
  return m;
}

}  // namespace sitewave::cli
