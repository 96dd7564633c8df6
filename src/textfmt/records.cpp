// Output records. The formatted writer walks a parsed layout, rendering the
// items into its fields and stopping at the first field left without an item;
// the list-directed writer appends items in their natural forms and starts a
// new record before an item that would reach column 80.
#include "textfmt/records.hpp"

#include <array>

#include "textfmt/render.hpp"

namespace sitewave::textfmt {
namespace {

// ---- formatted records ----

// One formatted record in the making. Skipped columns become blanks only
// when something is written after them on the same record.
class formatted_record {
 public:
  explicit formatted_record(record_sink& out) : out_(out) {}

  void skip(int columns) { pending_blanks_ += static_cast<std::size_t>(columns); }
  void literal(std::string_view quoted);
  void field(const layout::element& e, const write_item& item);
  void end();

 private:
  void place_pending_blanks();

  record_sink& out_;
  record_buffer record_;
  std::size_t pending_blanks_ = 0;
};

void formatted_record::place_pending_blanks() {
  record_.append(pending_blanks_, ' ');
  pending_blanks_ = 0;
}

void formatted_record::literal(std::string_view quoted) {
  place_pending_blanks();
  // The layout text keeps a written apostrophe doubled; it prints once.
  for (std::size_t i = 0; i < quoted.size(); ++i) {
    record_.push_back(quoted[i]);
    if (quoted[i] == '\'') ++i;
  }
}

void formatted_record::field(const layout::element& e, const write_item& item) {
  place_pending_blanks();
  const bool integer_item = item.what() == write_item::kind::integer;
  const bool real_item = item.what() == write_item::kind::real;
  if (e.what == layout::kind::integer_field && integer_item) {
    render_integer_field(record_, item.integer(), e.width);
  } else if (e.what == layout::kind::fixed_field && real_item) {
    render_fixed_field(record_, item.real(), e.width, e.decimals);
  } else if (e.what == layout::kind::exponent_field && real_item) {
    render_exponent_field(record_, item.real(), e.width, e.decimals);
  } else {
    // An item of another kind has no form in this field: show that plainly.
    record_.append(static_cast<std::size_t>(e.width), '*');
  }
}

void formatted_record::end() {
  out_.put(record_.view());
  record_.clear();
  pending_blanks_ = 0;
}

// One walk through the layout, from items[next] on. Returns the index of the
// first item left unused: the walk stops at a data field when the items have
// run out, else at the end of the layout.
std::size_t walk_layout(const layout& fmt, std::span<const write_item> items, std::size_t next,
                        formatted_record& record) {
  const auto elements = fmt.elements();
  std::array<int, layout::max_depth> repeats_left{};
  std::size_t depth = 0;
  std::size_t i = 0;
  while (i < elements.size()) {
    const layout::element& e = elements[i];
    switch (e.what) {
      case layout::kind::group_open:
        repeats_left[depth++] = e.width;
        ++i;
        break;
      case layout::kind::group_close:
        if (--repeats_left[depth - 1] > 0) {
          i = e.partner + 1;
        } else {
          --depth;
          ++i;
        }
        break;
      case layout::kind::literal:
        record.literal(e.quoted);
        ++i;
        break;
      case layout::kind::skip:
        record.skip(e.width);
        ++i;
        break;
      case layout::kind::record_break:
        record.end();
        ++i;
        break;
      case layout::kind::integer_field:
      case layout::kind::fixed_field:
      case layout::kind::exponent_field:
        if (next == items.size()) return next;
        record.field(e, items[next++]);
        ++i;
        break;
    }
  }
  return next;
}

// ---- list-directed records ----

constexpr std::size_t line_width = 80;

// The length the line-width rule counts for an item: the digits of an
// integer, the whole rendered real, the characters of a text. Integers and
// reals are rendered into `rendered` on the way.
std::size_t counted_length(const write_item& item, record_buffer& rendered) {
  switch (item.what()) {
    case write_item::kind::integer:
      render_list_integer(rendered, item.integer());
      return rendered.size() - 1 - (item.integer() < 0 ? 1 : 0);
    case write_item::kind::real:
      render_list_real(rendered, item.real());
      return rendered.size();
    case write_item::kind::text:
      break;
  }
  return item.chars().size();
}

}  // namespace

void format_records(const layout& fmt, std::span<const write_item> items, record_sink& out) {
  formatted_record record(out);
  std::size_t next = 0;
  for (;;) {
    const std::size_t after = walk_layout(fmt, items, next, record);
    const bool used_some = after > next;
    next = after;
    if (next == items.size() || !used_some) break;
    // More items than fields: the layout starts again on a new record.
    record.end();
  }
  record.end();
}

void list_records(std::span<const write_item> items, record_sink& out) {
  record_buffer record;
  record_buffer rendered;
  for (const write_item& item : items) {
    rendered.clear();
    const std::size_t length = counted_length(item, rendered);
    if (!record.empty() && record.size() + length >= line_width) {
      out.put(record.view());
      record.clear();
    }
    if (item.what() == write_item::kind::text) {
      render_list_text(record, item.chars());
    } else {
      record.append(rendered.view());
    }
  }
  out.put(record.view());
}

}  // namespace sitewave::textfmt
