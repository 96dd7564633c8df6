// Turns the scanned decimal of a list-read number into what a target
// receives: a real through the nearest double (so every real input rounds the
// same way, whatever its length), an integer truncated digit by digit, never
// through a floating-point value, and a repeat count.
#include "textfmt/number_scan.hpp"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <limits>

namespace sitewave::textfmt {

namespace {

// With at most 40 digits, any power of ten beyond this bound already gives
// zero or infinity in double precision; the bound keeps the text short.
constexpr std::int64_t exponent_bound = 1000;

constexpr int max_integer_digits = 10;  // 2147483648 has ten

int digit_value(char d) {
  return d - '0';
}

}  // namespace

void decimal_number::add_integer_digit(char d) {
  if (d == '0' && count == 0) return;
  if (count < max_significant_digits) {
    digits[static_cast<std::size_t>(count++)] = d;
  } else {
    ++exponent;
  }
}

void decimal_number::add_fraction_digit(char d) {
  if (d == '0' && count == 0) {
    --exponent;
    return;
  }
  if (count < max_significant_digits) {
    digits[static_cast<std::size_t>(count++)] = d;
    --exponent;
  }
}

float to_real(const decimal_number& n) {
  if (n.count == 0) {
    const float zero = n.negative ? -0.0f : 0.0f;
    return zero;
  }
  // "<digits>e<exponent>": no decimal point, so the locale cannot matter.
  std::array<char, max_significant_digits + 16> spelled{};
  char* end = std::copy_n(n.digits.begin(), n.count, spelled.begin());
  *end++ = 'e';
  const std::int64_t e = std::clamp(n.exponent, -exponent_bound, exponent_bound);
  end = std::to_chars(end, spelled.data() + spelled.size() - 1, e).ptr;
  *end = '\0';
  const double nearest = std::strtod(spelled.data(), nullptr);
  const float value = static_cast<float>(n.negative ? -nearest : nearest);
  return value;
}

std::optional<std::int32_t> to_integer(const decimal_number& n) {
  if (n.count == 0) return 0;
  const std::int64_t whole_digits = n.count + n.exponent;
  if (whole_digits <= 0) return 0;
  if (whole_digits > max_integer_digits) return std::nullopt;
  std::int64_t magnitude = 0;
  for (std::int64_t i = 0; i < whole_digits; ++i) {
    const int d = i < n.count ? digit_value(n.digits[static_cast<std::size_t>(i)]) : 0;
    magnitude = magnitude * 10 + d;
  }
  const std::int64_t value = n.negative ? -magnitude : magnitude;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

std::uint64_t to_count(const decimal_number& n) {
  constexpr std::uint64_t limit = std::numeric_limits<std::uint64_t>::max() / 10;
  std::uint64_t count = 0;
  for (int i = 0; i < n.count; ++i) {
    if (count >= limit) return limit;
    count =
        count * 10 + static_cast<std::uint64_t>(digit_value(n.digits[static_cast<std::size_t>(i)]));
  }
  return count;
}

}  // namespace sitewave::textfmt
