// How one value looks in an output record. Reals are widened exactly to
// double and rounded by the standard decimal conversions (std::to_chars with
// a precision, which rounds the exact binary value as the C library's printf
// does, ties to even included), so the digits are those of the exact binary
// value; this file only arranges them in the field: signs, point, leading
// zero, exponent, blanks and asterisks.
#include "textfmt/render.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace sitewave::textfmt {

// ---- record_buffer ----

void record_buffer::append(std::string_view chars) {
  if (!is_long_ && size_ + chars.size() <= fixed_capacity) {
    chars.copy(fixed_.data() + size_, chars.size());
  } else {
    if (!is_long_) {
      long_.assign(fixed_.data(), size_);
      is_long_ = true;
    }
    long_.append(chars);
  }
  size_ += chars.size();
}

void record_buffer::append(std::size_t count, char c) {
  if (!is_long_ && size_ + count <= fixed_capacity) {
    std::fill_n(fixed_.data() + size_, count, c);
  } else {
    if (!is_long_) {
      long_.assign(fixed_.data(), size_);
      is_long_ = true;
    }
    long_.append(count, c);
  }
  size_ += count;
}

void record_buffer::clear() {
  long_.clear();  // keeps its capacity for the next long record
  is_long_ = false;
  size_ = 0;
}

std::string_view record_buffer::view() const {
  return is_long_ ? std::string_view(long_) : std::string_view(fixed_.data(), size_);
}

namespace {

// Room for any conversion of a single-precision value with up to
// layout::max_width decimals (39 integer digits at most); a longer result
// cannot fit any field anyway.
using conversion_buffer = std::array<char, 512>;

std::size_t columns(int width) {
  return width > 0 ? static_cast<std::size_t>(width) : 0;
}

void fill_asterisks(record_buffer& out, int width) {
  out.append(columns(width), '*');
}

// Right-aligns text in the field, or fills it with asterisks when too long.
void right_align(record_buffer& out, std::string_view text, int width) {
  if (text.size() > columns(width)) return fill_asterisks(out, width);
  out.append(columns(width) - text.size(), ' ');
  out.append(text);
}

// Infinities and not-a-numbers never come from valid input; they are named
// in the field rather than shown as digits of nothing.
void render_non_finite_field(record_buffer& out, double x, int width) {
  right_align(out, std::isnan(x) ? "NaN" : (x < 0 ? "-Infinity" : "Infinity"), width);
}

// "E", the sign and at least two digits of the exponent; returns the length.
std::size_t exponent_part(int exponent, std::array<char, 16>& text) {
  text[0] = 'E';
  text[1] = exponent < 0 ? '-' : '+';
  const int magnitude = std::abs(exponent);
  char* digits = text.data() + 2;
  if (magnitude < 10) *digits++ = '0';
  const char* end = std::to_chars(digits, text.data() + text.size(), magnitude).ptr;
  return static_cast<std::size_t>(end - text.data());
}

bool has_nonzero_digit(std::string_view text) {
  return text.find_first_of("123456789") != std::string_view::npos;
}

}  // namespace

// ---- formatted fields ----

void render_integer_field(record_buffer& out, int value, int width) {
  std::array<char, 16> digits{};
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
  right_align(out, std::string_view(digits.data(), end), width);
}

void render_fixed_field(record_buffer& out, float value, int width, int decimals) {
  const double x = value;
  if (!std::isfinite(x)) return render_non_finite_field(out, x, width);

  conversion_buffer buf;
  const auto [end, error] = std::to_chars(buf.data(), buf.data() + buf.size() - 1, std::fabs(x),
                                          std::chars_format::fixed, decimals);
  if (error != std::errc{}) return fill_asterisks(out, width);
  std::size_t n = static_cast<std::size_t>(end - buf.data());
  // The point is shown even with no decimals after it ("3.").
  if (decimals == 0) buf[n++] = '.';
  std::string_view text(buf.data(), n);

  // A value that rounds to zero shows no sign, whatever its own sign.
  const bool negative = std::signbit(x) && has_nonzero_digit(text);
  std::size_t length = text.size() + (negative ? 1 : 0);
  // The zero before the point is the one character a field may give up.
  if (length == columns(width) + 1 && text.front() == '0') {
    text.remove_prefix(1);
    --length;
  }
  if (length > columns(width)) return fill_asterisks(out, width);
  out.append(columns(width) - length, ' ');
  if (negative) out.push_back('-');
  out.append(text);
}

void render_exponent_field(record_buffer& out, float value, int width, int digits) {
  const double x = value;
  if (!std::isfinite(x)) return render_non_finite_field(out, x, width);

  // The conversion gives d.ddde±x; the field shows 0.dddd E±(x+1), the same
  // digits with the point moved one place left. A rounding that carries into
  // a new digit has already raised the conversion's exponent.
  conversion_buffer buf;
  std::string_view mantissa;  // the `digits` digits after "0."
  int exponent = 0;
  if (x != 0) {
    const auto [end, error] = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(x),
                                            std::chars_format::scientific, digits - 1);
    if (error != std::errc{}) return fill_asterisks(out, width);
    const std::string_view text(buf.data(), static_cast<std::size_t>(end - buf.data()));
    const std::size_t e = text.find('e');
    // Overwriting the point with the first digit puts all d digits together.
    if (text[1] == '.') {
      buf[1] = buf[0];
      mantissa = text.substr(1, e - 1);
    } else {
      mantissa = text.substr(0, 1);
    }
    const char* exp_begin = text.data() + e + 1;
    if (*exp_begin == '+') ++exp_begin;
    std::from_chars(exp_begin, text.data() + text.size(), exponent);
    ++exponent;
  }

  std::array<char, 16> exp_text{};
  const std::size_t exp_len = exponent_part(exponent, exp_text);

  // Zero is never signed (and -0.0 < 0 is false).
  const bool negative = x < 0;
  const std::size_t mantissa_size = x != 0 ? mantissa.size() : columns(digits);
  const std::size_t shortest = (negative ? 1 : 0) + 1 + mantissa_size + exp_len;
  if (columns(width) < shortest) return fill_asterisks(out, width);

  const bool room_for_zero = columns(width) > shortest;
  if (room_for_zero) out.append(columns(width) - shortest - 1, ' ');
  if (negative) out.push_back('-');
  if (room_for_zero) out.push_back('0');
  out.push_back('.');
  if (x != 0) {
    out.append(mantissa);
  } else {
    out.append(mantissa_size, '0');
  }
  out.append(std::string_view(exp_text.data(), exp_len));
}

// ---- list-directed items ----

void render_list_integer(record_buffer& out, int value) {
  std::array<char, 16> digits{};
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
  out.push_back(' ');
  out.append(std::string_view(digits.data(), end));
}

void render_list_real(record_buffer& out, float value) {
  const double x = value;
  out.push_back(' ');
  out.push_back(x < 0 ? '-' : ' ');
  if (std::isnan(x)) return out.append("NaN");
  if (std::isinf(x)) return out.append("Infinity");
  if (x == 0) return out.append("0.");

  std::array<char, 32> buf{};
  char* const end = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(x),
                                  std::chars_format::general, 9)
                        .ptr;
  std::replace(buf.data(), end, 'e', 'E');
  const std::string_view text(buf.data(), static_cast<std::size_t>(end - buf.data()));
  // The conversion drops a point with no digits after it; the item always
  // shows one, at the end of the digits ("30." and "1.E+10").
  if (text.find('.') != std::string_view::npos) return out.append(text);
  const std::size_t e = text.find('E');
  const std::size_t digits_end = e == std::string_view::npos ? text.size() : e;
  out.append(text.substr(0, digits_end));
  out.push_back('.');
  out.append(text.substr(digits_end));
}

void render_list_text(record_buffer& out, std::string_view text) {
  if (out.empty()) out.push_back(' ');
  out.append(text);
}

}  // namespace sitewave::textfmt
