// A number as the list reader takes it from a record: its sign, at most 40
// significant decimal digits and a power of ten, and how that decimal becomes
// the single-precision real, the 32-bit integer or the repeat count it stands
// for.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace sitewave::textfmt {

inline constexpr int max_significant_digits = 40;
inline constexpr std::int64_t max_exponent_field = 99999999;

// The value is (negative ? -1 : 1) x digits x 10^exponent, the digits read as
// a whole number. No digits at all means zero.
struct decimal_number {
  bool negative = false;
  std::array<char, max_significant_digits> digits{};  // the first one is never '0'
  int count = 0;
  std::int64_t exponent = 0;

  // A digit before the decimal point: beyond the kept digits it only scales
  // the value by ten.
  void add_integer_digit(char d);
  // A digit after the decimal point: beyond the kept digits it is ignored.
  void add_fraction_digit(char d);
  // The typed exponent, already checked against max_exponent_field.
  void add_exponent(std::int64_t e) { exponent += e; }
};

// The decimal rounded to the nearest double, then to the nearest single.
float to_real(const decimal_number& n);

// The decimal truncated toward zero, exactly; nothing when that lies outside
// the 32-bit range.
std::optional<std::int32_t> to_integer(const decimal_number& n);

// The digits as a repeat count, saturating far beyond any statement's number
// of targets. Only meaningful for a number without exponent or point.
std::uint64_t to_count(const decimal_number& n);

}  // namespace sitewave::textfmt
