// Rows of the exact physics from the legacy single-precision layer table.
#include <stdexcept>
#include <string>

#include "core/exact/exact_transfer.hpp"

namespace sitewave::exact {

std::vector<layer_row> rows_of(const ground::layer_table& t) {
  if (t.nl < 1 || t.nl > t.capacity()) {
    throw std::invalid_argument("exact transfer: layer table of " + std::to_string(t.nl) +
                                " rows: from 1 to " + std::to_string(t.capacity()) +
                                " rows are expected");
  }
  std::vector<layer_row> rows;
  rows.reserve(static_cast<std::size_t>(t.nl));
  for (int l = 1; l <= t.nl; ++l) {
    rows.push_back({t.dns(l), t.vp(l), t.qp(l), t.fp(l), t.vs(l), t.qs(l), t.fs(l), t.thk(l)});
  }
  return rows;
}

}  // namespace sitewave::exact
