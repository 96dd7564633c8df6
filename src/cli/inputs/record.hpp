// A three-component ground-motion record as the command reads it: the
// column titles, the time column and the H1, H2 and V1 samples.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "textfmt/text.hpp"

namespace sitewave::cli {

struct record {
  // Titles of the time, H1, H2 and V1 columns, 10 characters each as the
  // legacy result files show them.
  std::array<textfmt::text<10>, 4> titles{
      textfmt::make_text<10>("time"), textfmt::make_text<10>("H1"), textfmt::make_text<10>("H2"),
      textfmt::make_text<10>("V1")};
  std::vector<float> time, h1, h2, v1;
  std::string format;              // "csv" or "at2"
  std::vector<std::string> paths;  // the file(s) it came from
  std::string unit;                // the unit the file states, if any ("g" for AT2)

  std::size_t rows() const { return time.size(); }
  void add_row(float t, float x, float y, float z) {
    time.push_back(t);
    h1.push_back(x);
    h2.push_back(y);
    v1.push_back(z);
  }
};

// The record format of the dialogue: a title line, then rows of time, H1, H2
// and V1, read with the same list-directed rules (separators, null values,
// short rows continued on the next line, the last-line rule).
record read_csv_record(const std::filesystem::path& path);

// The same from the file's text; `name` is how refusals name the file.
record parse_csv_record(std::string_view text, const std::string& name);

// Three strong-motion files of the common .AT2 format (four header lines, the
// fourth giving NPTS and DT, then the samples in g, several per line), one per
// component; they must share NPTS and DT.
record read_at2_record(const std::array<std::filesystem::path, 3>& paths);

// One component of the .AT2 format: its declared point count and time step,
// and its first npts samples.
struct at2_series {
  long long npts = 0;
  double dt = 0.0;
  std::vector<float> samples;
};
at2_series parse_at2(std::string_view text, const std::string& name);

// Multiplies every sample (not the time) by s.
void scale_record(record& r, float s);

}  // namespace sitewave::cli
