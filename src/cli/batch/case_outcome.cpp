// The rows of a batch summary. Numbers keep 9 significant digits, as run.json
// has them, so a summary collected from the case folders equals the one the
// batch wrote while running them; a value not known is an empty cell.
#include "cli/batch/case_outcome.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "cli/io/csv_rows.hpp"

namespace sitewave::cli {

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

constexpr std::array<std::string_view, status_count> status_names{
    "ok", "not-finite", "not-converged", "refused", "failed", "interrupted", "pending", "stale"};

std::string number_cell(double v, int digits) {
  if (!std::isfinite(v)) return {};
  char buf[32];
  const auto end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits).ptr;
  return std::string(buf, end);
}

std::string wall_cell(double seconds) {
  if (!std::isfinite(seconds)) return {};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", seconds);
  return buf;
}

// A peak: empty for a component the record has not, "nan" when not finite.
std::string peak_cell(const std::optional<double>& v) {
  if (!v) return {};
  if (std::isnan(*v)) return "nan";
  return number_cell(*v, 9);
}

std::string header() {
  std::string h = "case,status,error,wall_s";
  for (const std::string_view p : summary_parameters) h.append(",").append(p);
  for (const std::string_view side : {"in", "out"}) {
    for (const std::string_view c : {"H1", "H2", "V1"}) {
      h.append(",peak_").append(side).append("_").append(c);
    }
  }
  for (const std::string_view spectrum : summary_spectra) {
    for (const double t : summary_periods) {
      h.append(",psa_").append(spectrum).append("_").append(number_cell(t, 9));
    }
  }
  for (const std::string_view motion : summary_intensity_rows) {
    for (const std::string_view measure : summary_intensity_names) {
      h.append(",").append(motion).append("_").append(measure);
    }
  }
  return h + "\n";
}

std::string row(const case_outcome& o) {
  std::string r = o.name + "," + std::string(status_name(o.status)) + "," + csv_cell(o.error) +
                  "," + wall_cell(o.wall_s);
  const case_folder& v = o.results;
  const bool ok = has_results(o.status);  // other folders may hold stale values
  for (const std::string& p : v.parameters) r.append(",").append(ok ? csv_cell(p) : "");
  for (const auto* peaks : {&v.peak_input, &v.peak_surface}) {
    for (const auto& p : *peaks) r.append(",").append(ok ? peak_cell(p) : "");
  }
  for (const auto& spectrum : v.psa) {
    for (const double value : spectrum) r.append(",").append(number_cell(ok ? value : none, 9));
  }
  for (const auto& measures : v.intensity) {
    for (const double value : measures) r.append(",").append(number_cell(ok ? value : none, 9));
  }
  return r + "\n";
}

}  // namespace

case_status status_of_results(const case_folder& results) {
  if (results.not_finite) return case_status::not_finite;
  return results.not_converged ? case_status::not_converged : case_status::ok;
}

bool has_results(case_status s) {
  return s == case_status::ok || s == case_status::not_finite || s == case_status::not_converged;
}

std::string_view status_name(case_status s) {
  return status_names[static_cast<std::size_t>(s)];
}

std::optional<case_status> status_named(std::string_view name) {
  for (std::size_t k = 0; k < status_names.size(); ++k) {
    if (status_names[k] == name) return static_cast<case_status>(k);
  }
  return std::nullopt;
}

std::string summary_csv(std::span<const case_outcome> outcomes) {
  std::string text = header();
  for (const case_outcome& o : outcomes) text += row(o);
  return text;
}

}  // namespace sitewave::cli
