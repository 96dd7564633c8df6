// Write statements on a channel: the statement is noted for the failure
// reporter, the channel is prepared for writing, and every finished record
// goes to it.
#include "dialogue/textio/write.hpp"

#include "dialogue/textio/channel.hpp"
#include "dialogue/textio/failure.hpp"

namespace sitewave::textio {

namespace {

class channel_sink final : public textfmt::record_sink {
 public:
  explicit channel_sink(int unit) : unit_(unit) {}
  void put(std::string_view record) override { put_record(unit_, record); }

 private:
  int unit_;
};

}  // namespace

void write_formatted_items(int unit, const layout& fmt, std::span<const write_item> items) {
  note_statement(unit, direction::writing, fmt.text());
  begin_write(unit, "write start");
  channel_sink out(unit);
  textfmt::format_records(fmt, items, out);
  end_formatted_statement();
}

void write_list_items(int unit, std::span<const write_item> items) {
  note_statement(unit, direction::writing, "list io");
  begin_write(unit, "list output start");
  channel_sink out(unit);
  textfmt::list_records(items, out);
}

}  // namespace sitewave::textio
