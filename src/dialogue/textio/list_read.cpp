// Read statements on a channel: the channel is the scanner's character
// source, and its failures go to the runtime's reporter, which names the
// channel and the statement.
#include "dialogue/textio/list_read.hpp"

#include <charconv>
#include <string_view>

#include "dialogue/textio/channel.hpp"
#include "dialogue/textio/failure.hpp"
#include "dialogue/textio/signals.hpp"

namespace sitewave::textio {

namespace {

class channel_source final : public textfmt::scan_source {
 public:
  explicit channel_source(int unit) : unit_(unit) {}
  int get() override { return get_char(unit_); }
  void unget(int c) override { unget_char(unit_, c); }
  bool at_end() const override { return eof_flag(unit_); }

 private:
  void report_failure(int code, const char* context) override { textio::fail(code, context); }

  int unit_;
};

}  // namespace

bool read_list_targets(int unit, std::span<const read_target> targets, bool has_end_branch) {
  act_on_pending_signal();
  note_statement(unit, direction::reading, "list io");
  channel_source in(unit);
  return textfmt::scan_list(in, targets, has_end_branch);
}

void read_field(int unit, std::span<char> field) {
  act_on_pending_signal();
  // The layout text "(A<w>)" names the statement in a diagnostic while it runs.
  std::array<char, 32> layout{'(', 'A'};
  char* end = std::to_chars(layout.data() + 2, layout.data() + layout.size() - 1, field.size()).ptr;
  *end++ = ')';
  note_statement(unit, direction::reading,
                 std::string_view(layout.data(), static_cast<std::size_t>(end - layout.data())));
  channel_source in(unit);
  textfmt::scan_field(in, field);
  end_formatted_statement();
}

}  // namespace sitewave::textio
