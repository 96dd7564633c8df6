// The ground model file as the command reads it: the same format and the
// same refusals as the dialogue's soil_dat.csv, from any path.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/ground/layer_table.hpp"

namespace sitewave::cli {

struct ground_model {
  ground::layer_table layers;
  float angle_deg = 0.0f;  // incident wave angle as written
  int input_type = 1;      // 1: incident wave in the bedrock, 2: motion in a borehole
};

ground_model read_ground_model(const std::filesystem::path& path);

// The same from the file's text; `name` is how refusals name the file.
ground_model parse_ground_model(std::string_view text, const std::string& name);

// Row l's quality factors: below 0.5 (a damping ratio above 1) they are a
// slip, refused beside the checks of ground::layer_row_problem.
std::optional<std::string> quality_problem(const ground::layer_table& t, int l);

}  // namespace sitewave::cli
