// The dialogue's record format read for the command: the same scanner over
// the whole file, so both front ends take the same values from the same
// text; failures become one-line refusals naming the file, line and text.
#include <string>
#include <string_view>

#include "cli/io/errors.hpp"
#include "cli/io/file_io.hpp"
#include "cli/inputs/record.hpp"
#include "textfmt/list_scan.hpp"
#include "textfmt/text_source.hpp"

namespace sitewave::cli {

namespace {

// The text of line n (from 1) of a file, cut to a readable length.
std::string line_text(std::string_view text, int n) {
  std::size_t start = 0;
  for (int line = 1; line < n && start != std::string_view::npos; ++line) {
    start = text.find('\n', start);
    if (start != std::string_view::npos) ++start;
  }
  if (start == std::string_view::npos || start >= text.size()) return {};
  std::string_view line = text.substr(start, text.find('\n', start) - start);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  constexpr std::size_t shown = 60;
  return line.size() > shown ? std::string(line.substr(0, shown)) + "..." : std::string(line);
}

}  // namespace

record read_csv_record(const std::filesystem::path& path) {
  return parse_csv_record(read_file(path), path.string());
}

record parse_csv_record(std::string_view text, const std::string& name) {
  record r;
  r.format = "csv";
  r.paths = {name};
  textfmt::text_source in(text);
  try {
    const std::array<textfmt::read_target, 4> titles{r.titles[0], r.titles[1], r.titles[2],
                                                     r.titles[3]};
    textfmt::scan_list(in, titles, false);
    for (;;) {
      float t = 0.0f, x = 0.0f, y = 0.0f, z = 0.0f;
      const std::array<textfmt::read_target, 4> row{t, x, y, z};
      if (!textfmt::scan_list(in, row, true)) break;
      r.add_row(t, x, y, z);
    }
  } catch (const textfmt::scan_error& e) {
    if (e.line() == 0) {
      throw input_error(name +
                        ": the file is empty; a title line, then rows of time, H1, H2, V1 are "
                        "expected");
    }
    throw input_error(name + ": line " + std::to_string(e.line()) + ": " + textfmt::describe(e) +
                      ": \"" + line_text(text, e.line()) + "\"");
  }
  return r;
}

void scale_record(record& r, float s) {
  for (auto* column : {&r.h1, &r.h2, &r.v1}) {
    for (float& v : *column) v *= s;
  }
}

}  // namespace sitewave::cli
