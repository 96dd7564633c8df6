// The ground model file as the command reads it: the dialogue's
// soil_dat.csv format from any path, with the dialogue's values and
// refusals, any number of layer rows, and each row on a line of its own.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ground/layer_table.hpp"

namespace sitewave::cli {

struct ground_model {
  ground::layer_table layers;
  float angle_deg = 0.0f;  // incident wave angle as written
  int input_type = 1;      // 1: incident wave in the bedrock, 2: motion in a borehole
  // Whether the rows give P velocities; without them the vertical response
  // is not computed (the table's Vp is then twice Vs, only to keep it sound).
  bool vertical = true;
  std::vector<int> lines;  // the file's line of each row, row 1 first
};

// Refuses (input_error) a file that cannot give a sound analysis: a value
// that is not a number or out of range, a row of more or fewer than nine
// values (named on its own line), fewer rows than the count or rows left
// after it. Plausible slips go to `warnings` when given, one line each.
ground_model read_ground_model(const std::filesystem::path& path,
                               std::vector<std::string>* warnings = nullptr);

// The same from the file's text; `name` is how refusals name the file.
ground_model parse_ground_model(std::string_view text, const std::string& name,
                                std::vector<std::string>* warnings = nullptr);

// Row l's quality factors: below 0.5 (a damping ratio above 1) they are a
// slip, refused beside the checks of ground::layer_row_problem.
std::optional<std::string> quality_problem(const ground::layer_table& t, int l);

}  // namespace sitewave::cli
