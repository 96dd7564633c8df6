// Reading statements: the list-directed read of typed targets (values
// separated by commas, blanks or line ends, with null values, slash and
// repeat counts) and the fixed-width text read of one field.
#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "textio/text.hpp"

namespace sitewave::textio {

// One target of a list-directed read: an integer, a real or a text.
class read_target {
 public:
  enum class kind { integer, real, text };

  read_target(int& v) : kind_(kind::integer), int_(&v) {}
  read_target(float& v) : kind_(kind::real), real_(&v) {}
  template <std::size_t L>
  read_target(text<L>& t) : kind_(kind::text), text_(t) {}

  kind what() const { return kind_; }
  int& integer() const { return *int_; }
  float& real() const { return *real_; }
  std::span<char> chars() const { return text_; }

 private:
  kind kind_;
  int* int_ = nullptr;
  float* real_ = nullptr;
  std::span<char> text_;
};

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
// record (layout "(A<w>)"): a short line is blank-padded, characters past the
// width are ignored, the rest of the record is discarded. No end-of-file
// branch.
void read_field(int unit, std::span<char> field);

}  // namespace sitewave::textio
