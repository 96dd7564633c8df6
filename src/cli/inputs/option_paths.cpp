// The file-naming options of `run`, in one place for the two readers that
// must agree on them: the fingerprint of a run and the batch manifest.
#include "cli/inputs/option_paths.hpp"

#include "cli/options/arguments.hpp"

namespace sitewave::cli {

namespace fs = std::filesystem;

namespace {

bool is_number_list(std::string_view text) {
  try {
    number_list("periods", text);
    return true;
  } catch (const option_error&) {
    return false;
  }
}

std::string trimmed(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(s.substr(first, s.find_last_not_of(" \t") - first + 1));
}

}  // namespace

std::vector<option_path> paths_named(std::string_view option, std::string_view value) {
  if (option == "record" || option == "soil" || option == "profile" || option == "curves" || (option == "periods" && !is_number_list(value))) {
    return {{std::string(option), std::string(value)}};
  }
  std::vector<option_path> paths;
  if (option == "at2") {
    const char* roles[] = {"at2 H1", "at2 H2", "at2 V"};
    const std::vector<std::string> items = text_list(value);
    for (std::size_t i = 0; i < items.size(); ++i) {
      paths.push_back({i < 3 ? roles[i] : "at2", trimmed(items[i])});
    }
  }
  return paths;
}

std::string value_from(const fs::path& base, std::string_view option, std::string_view value) {
  const std::vector<option_path> paths = paths_named(option, value);
  if (paths.empty()) return std::string(value);
  std::string joined;
  for (const option_path& p : paths) {
    if (!joined.empty()) joined += ',';
    joined += (base / p.path).lexically_normal().string();
  }
  return joined;
}

}  // namespace sitewave::cli
