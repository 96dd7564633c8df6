// Reading back a case's results folder. run.json is written last into the
// staged folder, so a folder whose run.json lists files that are not all
// there was not made by a finished run and counts as incomplete.
#include "cli/batch/case_folder.hpp"

#include <cstdio>
#include <limits>
#include <optional>

#include "cli/io/errors.hpp"
#include "cli/io/file_io.hpp"
#include "cli/io/fingerprint.hpp"
#include "cli/io/json_reader.hpp"

namespace sitewave::cli {

namespace fs = std::filesystem;

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

std::optional<std::string> text_of(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return std::nullopt;
  try {
    return read_file(file);
  } catch (const input_error&) {
    return std::nullopt;
  }
}

bool lists_only_present_files(const json_value& run, const fs::path& folder) {
  const json_value* files = run.find("files");
  if (files == nullptr || files->type != json_value::kind::array || files->items.empty()) {
    return false;
  }
  for (const json_value& name : files->items) {
    std::error_code ec;
    if (name.type != json_value::kind::string || name.text.find('/') != std::string::npos ||
        !fs::is_regular_file(folder / name.text, ec)) {
      return false;
    }
  }
  return true;
}

recorded_peaks per_component(const json_value& run, std::string_view side) {
  recorded_peaks values;
  const char* names[] = {"H1", "H2", "V1"};
  for (std::size_t c = 0; c < 3; ++c) {
    const json_value* v = run.at({"peaks", side, names[c]});
    if (v == nullptr) continue;
    values[c] = v->type == json_value::kind::number ? v->number : none;
  }
  return values;
}

// A parameter as text: strings as they are, numbers with 9 digits, the
// record's files joined by semicolons.
std::string parameter_text(const json_value& run, std::string_view key) {
  if (key == "record") {
    const json_value* files = run.find("record_files");
    std::string joined;
    if (files == nullptr) return joined;
    for (const json_value& f : files->items) {
      if (!joined.empty()) joined += ';';
      joined += f.text;
    }
    return joined;
  }
  const json_value* v = run.find(key);
  if (v == nullptr) return {};
  if (v->type == json_value::kind::string) return v->text;
  if (v->type != json_value::kind::number) return {};
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", v->number);
  return text;
}

}  // namespace

case_folder read_case_folder(const fs::path& folder) {
  case_folder c;
  for (auto& spectrum : c.psa) spectrum.fill(none);
  for (auto& measures : c.intensity) measures.fill(none);
  const std::optional<std::string> text = text_of(folder / "run.json");
  const std::optional<json_value> run = text ? parse_json(*text) : std::nullopt;
  if (!run || !lists_only_present_files(*run, folder)) return c;
  c.complete = true;
  c.digest = recorded_digest(*run);
  c.peak_input = per_component(*run, "input");
  c.peak_surface = per_component(*run, "surface");
  for (std::size_t k = 0; k < summary_parameters.size(); ++k) {
    c.parameters[k] = parameter_text(*run, summary_parameters[k]);
  }
  const json_value* not_finite = run->find("not_finite");
  c.not_finite = not_finite != nullptr && not_finite->type == json_value::kind::object;
  for (const char* component : {"H1", "H2"}) {
    const json_value* converged = run->at({"eql", component, "converged"});
    if (converged != nullptr && converged->type == json_value::kind::boolean && !converged->flag) {
      c.not_converged = true;
    }
  }
  if (const auto response = text_of(folder / "response.csv")) {
    c.psa = psa_from_response_csv(*response);
  }
  if (const auto intensity = text_of(folder / "intensity.csv")) {
    c.intensity = intensity_from_csv(*intensity);
  }
  return c;
}

}  // namespace sitewave::cli
