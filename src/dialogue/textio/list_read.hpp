// Reading statements on numbered channels: the list-directed read of typed
// targets and the fixed-width text read of one field, with the channel's
// failures reported by the runtime.
#pragma once

#include <array>
#include <span>

#include "textfmt/list_scan.hpp"

namespace sitewave::textio {

using textfmt::make_text;
using textfmt::read_target;
using textfmt::text;

// One read statement on unit. Returns false when the statement met the end
// of the file and has_end_branch is set; without the branch an end of file
// ends the run with its diagnostic (except at the final discard of the
// record, which is ignored). Other failures always end the run.
bool read_list_targets(int unit, std::span<const read_target> targets, bool has_end_branch);

// A list-directed read statement without an end-of-file branch. With no
// targets it skips one record.
template <class... T>
void read_list(int unit, T&... targets) {
  const std::array<read_target, sizeof...(T)> list{read_target(targets)...};
  read_list_targets(unit, list, false);
}

// A list-directed read statement with an end-of-file branch: false when the
// end of the file was met (targets stored before it keep their new values).
template <class... T>
[[nodiscard]] bool read_list_or_end(int unit, T&... targets) {
  const std::array<read_target, sizeof...(T)> list{read_target(targets)...};
  return read_list_targets(unit, list, true);
}

// Fixed-width text read of one field of field.size() characters from one
// record (layout "(A<w>)"). No end-of-file branch.
void read_field(int unit, std::span<char> field);

}  // namespace sitewave::textio
