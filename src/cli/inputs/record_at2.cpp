// Strong-motion records in the .AT2 format, one file per component: four
// header lines (the fourth gives the number of points and the time step, as
// "NPTS= 4000, DT= .0100 SEC" or as "4000 .0100 NPTS, DT"), then the samples,
// several per line. The samples are in g.
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/inputs/record.hpp"
#include "cli/io/errors.hpp"
#include "cli/io/line_reader.hpp"

namespace sitewave::cli {

namespace {

constexpr int header_lines = 4;

std::string upper(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

bool is_number_char(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '+' || c == '-' ||
         c == 'E' || c == 'e';
}

// The numbers of a line, in order ("NPTS=" and "SEC" are skipped over).
std::vector<double> numbers_in(std::string_view line) {
  std::vector<double> out;
  std::size_t i = 0;
  while (i < line.size()) {
    const bool starts =
        std::isdigit(static_cast<unsigned char>(line[i])) ||
        ((line[i] == '.' || line[i] == '-' || line[i] == '+') && i + 1 < line.size() &&
         (std::isdigit(static_cast<unsigned char>(line[i + 1])) || line[i + 1] == '.'));
    if (!starts) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < line.size() && is_number_char(line[j])) ++j;
    const std::string token(line.substr(i, j - i));
    char* end = nullptr;
    const double v = std::strtod(token.c_str(), &end);
    if (end != token.c_str()) out.push_back(v);
    i = j;
  }
  return out;
}

// The value written after `key` on the line (after '=' and blanks), if any.
std::optional<double> value_after(std::string_view line, std::string_view key) {
  const std::string u = upper(line);
  const std::size_t at = u.find(key);
  if (at == std::string::npos) return std::nullopt;
  const std::vector<double> after = numbers_in(std::string_view(line).substr(at + key.size()));
  if (after.empty()) return std::nullopt;
  return after.front();
}

// NPTS and DT from the fourth header line, in either of its two forms.
void read_header(std::string_view line, const std::string& where, at2_series& s) {
  std::optional<double> npts = value_after(line, "NPTS=");
  std::optional<double> dt = value_after(line, "DT=");
  if (!npts || !dt) {
    const std::vector<double> n = numbers_in(line);
    if (n.size() >= 2 && upper(line).find("NPTS") != std::string::npos) {
      npts = n[0];
      dt = n[1];
    } else {
      throw input_error(where + ": line 4: \"" + excerpt(line) +
                        "\": NPTS and DT are expected (e.g. \"NPTS=  4000, DT=   .0100 SEC\")");
    }
  }
  // A count beyond any memory is refused before it is taken as an integer.
  constexpr double most_points = 1e12;
  if (!(*npts >= 2.0 && *npts <= most_points && *npts == std::floor(*npts)) ||
      !std::isfinite(*dt) || *dt <= 0.0) {
    throw input_error(where + ": line 4: \"" + excerpt(line) +
                      "\": a whole NPTS of at least 2 and a positive DT are expected");
  }
  s.npts = static_cast<long long>(*npts);
  s.dt = *dt;
}

// Samples of one line: whitespace- or comma-separated reals.
void read_samples(std::string_view text, int line, const std::string& where, at2_series& s) {
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (std::isspace(static_cast<unsigned char>(c)) || c == ',') {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < text.size() && !std::isspace(static_cast<unsigned char>(text[j])) && text[j] != ',')
      ++j;
    const std::string token(text.substr(i, j - i));
    char* end = nullptr;
    const double v = std::strtod(token.c_str(), &end);
    if (end != token.c_str() + token.size() || !std::isfinite(static_cast<float>(v))) {
      throw input_error(where + ": line " + std::to_string(line) + ": \"" + excerpt(token) +
                        "\": a sample value (a number within single precision) is expected");
    }
    s.samples.push_back(static_cast<float>(v));
    i = j;
  }
}

// The component a header names: the last comma-separated field of its
// second line ("Imperial Valley 1940-05-19, El Centro Array #9, 180" gives "180").
std::string component_in(std::string_view line) {
  std::string_view name =
      line.substr(line.rfind(',') == std::string_view::npos ? 0 : line.rfind(',') + 1);
  const auto first = name.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  name = name.substr(first, name.find_last_not_of(" \t") - first + 1);
  return name.size() <= 20 ? std::string(name) : std::string();
}

at2_series read_at2(line_reader& in) {
  std::array<std::string, header_lines> header;
  std::string_view line;
  for (std::string& h : header) {
    if (!in.next(line)) {
      throw input_error(in.name() +
                        ": the file ends in its header: " + std::to_string(header_lines) +
                        " header lines, then the samples, are expected");
    }
    h = std::string(line);
  }
  at2_series s;
  read_header(header[3], in.name(), s);
  s.component = component_in(header[1]);
  check_record_fits(static_cast<std::size_t>(s.npts), in.name());
  s.samples.reserve(static_cast<std::size_t>(s.npts));
  while (in.next(line) && static_cast<long long>(s.samples.size()) < s.npts) {
    read_samples(line, in.line_number(), in.name(), s);
  }
  if (static_cast<long long>(s.samples.size()) < s.npts) {
    throw input_error(in.name() + ": " + std::to_string(s.samples.size()) + " samples, NPTS " +
                      std::to_string(s.npts) + " are expected");
  }
  s.samples.resize(static_cast<std::size_t>(s.npts));
  return s;
}

}  // namespace

at2_series parse_at2(std::string_view text, const std::string& where) {
  line_reader in(where, text);
  return read_at2(in);
}

record read_at2_record(std::span<const std::filesystem::path> paths) {
  std::vector<at2_series> series;
  for (const auto& p : paths) {
    line_reader in(p);
    series.push_back(read_at2(in));
  }
  for (std::size_t c = 1; c < series.size(); ++c) {
    if (series[c].npts != series[0].npts || series[c].dt != series[0].dt) {
      throw input_error(paths[c].string() + ": NPTS " + std::to_string(series[c].npts) + ", DT " +
                        std::to_string(series[c].dt) + " differ from " + paths[0].string() +
                        " (NPTS " + std::to_string(series[0].npts) + ", DT " +
                        std::to_string(series[0].dt) + "): the components must share them");
    }
  }
  record r;
  r.format = "at2";
  r.unit.push_back('g');  // the format states its samples in g
  r.components = series.size();
  for (const auto& p : paths) r.paths.push_back(p.string());
  for (std::size_t c = 0; c < series.size(); ++c) {
    const std::string name =
        series[c].component.empty() ? std::string(component_names[c]) : series[c].component;
    r.titles[c + 1] = textfmt::make_text<10>(name.substr(0, 10));
    r.samples[c] = std::move(series[c].samples);
  }
  const float dt = static_cast<float>(series[0].dt);
  r.time.resize(r.samples[0].size());
  for (std::size_t k = 0; k < r.time.size(); ++k) r.time[k] = static_cast<float>(k) * dt;
  return r;
}

}  // namespace sitewave::cli
