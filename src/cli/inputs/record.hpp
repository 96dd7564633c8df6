// A ground-motion record as the command reads it: the column titles, the
// time column and one to three components (H1; H1 and H2; or H1, H2 and V1).
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "textfmt/text.hpp"

namespace sitewave::cli {

inline constexpr std::array<std::string_view, 3> component_names{"H1", "H2", "V1"};

struct record {
  // Titles of the time, H1, H2 and V1 columns, 10 characters each as the
  // legacy result files show them.
  std::array<textfmt::text<10>, 4> titles{
      textfmt::make_text<10>("time"), textfmt::make_text<10>("H1"), textfmt::make_text<10>("H2"),
      textfmt::make_text<10>("V1")};
  std::vector<float> time;
  std::array<std::vector<float>, 3> samples;  // H1, H2, V1; an absent component is empty
  std::size_t components = 3;                 // the first `components` of H1, H2, V1 are present
  std::string format;                         // "csv" or "at2"
  std::vector<std::string> paths;             // the file(s) it came from
  std::string unit;                           // the unit the file states, if any ("g" for AT2)

  std::size_t rows() const { return time.size(); }
  bool has(std::size_t component) const { return component < components; }
  // All three components, as the dialogue reads them.
  bool complete() const { return components == 3; }
};

// The dialogue's record format, read strictly by the command: a title line
// naming 2 to 4 columns (time and up to three components), then rows of
// exactly that many numbers separated by commas or blanks. The numbers take
// the dialogue's values, so that three-component records give the same
// results as the dialogue.
record read_csv_record(const std::filesystem::path& path);

// The same from the file's text; `name` is how refusals name the file.
record parse_csv_record(std::string_view text, const std::string& name);

// One to three strong-motion files of the common .AT2 format (four header
// lines, the fourth giving NPTS and DT, then the samples in g, several per
// line), one per component in the order H1, H2, V1; they must share NPTS and DT.
record read_at2_record(std::span<const std::filesystem::path> paths);

// One component of the .AT2 format: its declared point count and time step,
// the component name its header gives (e.g. "090"), and its first npts samples.
struct at2_series {
  long long npts = 0;
  double dt = 0.0;
  std::string component;
  std::vector<float> samples;
};
at2_series parse_at2(std::string_view text, const std::string& name);

// Multiplies every sample (not the time) by s; refuses (input_error naming
// the scale) a product beyond single precision.
void scale_record(record& r, float s);

// Refuses (input_error) a record whose rows would need more memory for a run
// than this machine has.
void check_record_fits(std::size_t rows, const std::string& name);

}  // namespace sitewave::cli
