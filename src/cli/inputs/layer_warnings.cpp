// The warnings of layer_warnings.hpp: ranges of practice, not of physics, so
// the run goes on and the user reads why the number looks wrong.
#include "cli/inputs/layer_warnings.hpp"

#include <cstdio>
#include <optional>

#include "cli/inputs/table_cells.hpp"
#include "core/soil/shown.hpp"

namespace sitewave::cli {

using soil::shown;

namespace {

// How many times stiffer or softer than both its neighbours a layer may be
// before its Vs looks like a digit typed too many or lost.
constexpr float spike_factor = 4.0f;

// A soil layer whose Vs stands out from the rows above and below alike: a
// stiff or soft layer lies between rows unlike each other far more often
// than between two rows that both differ from it by this much.
std::optional<std::string> vs_spike(const ground::layer_table& t, int l) {
  const float above = t.vs(l - 1);
  const float below = t.vs(l + 1);
  const float here = t.vs(l);
  const std::string neighbours =
      " (" + shown(static_cast<double>(above)) + " and " + shown(static_cast<double>(below)) + ")";
  if (here > spike_factor * above && here > spike_factor * below)
    return "Vs is more than 4 times that of the rows above and below" + neighbours +
           ": a digit too many?";
  if (spike_factor * here < above && spike_factor * here < below)
    return "Vs is less than a quarter of that of the rows above and below" + neighbours +
           ": a digit lost?";
  return std::nullopt;
}

}  // namespace

std::vector<std::string> layer_warnings(const ground::layer_table& t, std::span<const int> lines,
                                        const std::string& file, const layer_column_names& names) {
  std::vector<std::string> out;
  const auto place = [&](int l, const char* column, float v) {
    return cell_place(file, lines[static_cast<std::size_t>(l - 1)], column,
                      shown(static_cast<double>(v)));
  };
  for (int l = 1; l <= t.nl; ++l) {
    const bool soil = l < t.nl;
    if (soil && (t.vs(l) < 50.0f || t.vs(l) > 4000.0f)) {
      out.push_back(place(l, names.vs, t.vs(l)) +
                    "a soil layer's Vs is usually from 50 to 4000 m/s (a slipped decimal point?)");
    } else if (soil && l > 1) {
      if (const auto spike = vs_spike(t, l)) out.push_back(place(l, names.vs, t.vs(l)) + *spike);
    }
    if (l > 1) {
      const float above = t.dns(l - 1);
      const float here = t.dns(l);
      if (here > 2.0f * above || above > 2.0f * here) {
        out.push_back(place(l, names.density, here) + "the density changes by more than a factor " +
                      "of 2 from the row above (" + shown(static_cast<double>(above)) +
                      "): the same unit in every row?");
      }
    }
    if (names.vp != nullptr && t.vp(l) > 10.0f * t.vs(l)) {
      out.push_back(place(l, names.vp, t.vp(l)) + "Vp is more than 10 times Vs (" +
                    shown(static_cast<double>(t.vs(l))) +
                    "): P and S velocities swapped or mistyped?");
    }
    if (names.qs == nullptr) continue;
    for (const auto& [column, q] : {std::pair{names.qs, t.qs(l)}, std::pair{names.qp, t.qp(l)}}) {
      if (q < 2.0f) {
        out.push_back(place(l, column, q) +
                      "a quality factor below 2 is a damping ratio above 0.25: a damping ratio "
                      "typed where Q belongs?");
      }
    }
  }
  return out;
}

}  // namespace sitewave::cli
