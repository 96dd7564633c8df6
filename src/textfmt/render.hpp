// How one value looks in an output record: the integer, fixed-point and
// exponent fields of formatted records, and the natural forms of integers,
// reals and texts in list-directed records. Every renderer appends to the
// record being assembled.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace sitewave::textfmt {

// The characters of one record being assembled. Ordinary records stay in the
// fixed storage; a longer one (a long text item) moves to the heap, so no
// record is ever cut short.
class record_buffer {
 public:
  void append(std::string_view chars);
  void append(std::size_t count, char c);
  void push_back(char c) { append(1, c); }
  void clear();

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::string_view view() const;

 private:
  static constexpr std::size_t fixed_capacity = 256;
  std::array<char, fixed_capacity> fixed_{};
  std::string long_;  // the whole record, once it has outgrown fixed_
  std::size_t size_ = 0;
  bool is_long_ = false;
};

// Formatted fields: each appends exactly `width` characters, asterisks when
// the value does not fit. Widths and decimals are those a layout allows
// (1..layout::max_width; at least one digit for the exponent field).

// Iw: right-aligned decimal digits, "-" for a negative value.
void render_integer_field(record_buffer& out, int value, int width);

// Fw.d: right-aligned fixed point with `decimals` digits after the point.
void render_fixed_field(record_buffer& out, float value, int width, int decimals);

// Ew.d: right-aligned 0.ddd...E+xx with `digits` mantissa digits.
void render_exponent_field(record_buffer& out, float value, int width, int digits);

// List-directed items. An integer is a blank and its digits (" -12"); a real
// is a blank, "-" or a blank, and up to 9 significant digits ("  0.5",
// "  1.E+10"); a text is its characters, after one blank when it opens the
// record.
void render_list_integer(record_buffer& out, int value);
void render_list_real(record_buffer& out, float value);
void render_list_text(record_buffer& out, std::string_view text);

}  // namespace sitewave::textfmt
