// The warnings of layer_warnings.hpp: ranges of practice, not of physics, so
// the run goes on and the user reads why the number looks wrong.
#include "cli/inputs/layer_warnings.hpp"

#include <cstdio>

#include "cli/inputs/table_cells.hpp"
#include "core/soil/shown.hpp"

namespace sitewave::cli {

using soil::shown;

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
                    shown(static_cast<double>(t.vs(l))) + "): P and S velocities swapped or mistyped?");
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
