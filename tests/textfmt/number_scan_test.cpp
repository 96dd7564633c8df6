// The scanned decimal of a number: which digits are kept, and the reals at
// the ends of the exponent range.
#include "textfmt/number_scan.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace sitewave::textfmt {
namespace {

decimal_number decimal(std::string_view whole, std::string_view fraction = {}) {
  decimal_number n;
  for (const char d : whole) n.add_integer_digit(d);
  for (const char d : fraction) n.add_fraction_digit(d);
  return n;
}

std::string kept(const decimal_number& n) {
  return std::string(n.digits.data(), static_cast<std::size_t>(n.count));
}

TEST(NumberScan, KeepsFortySignificantDigits) {
  const decimal_number zeros = decimal("000", "000");
  EXPECT_EQ(zeros.count, 0);
  EXPECT_EQ(to_real(zeros), 0.0f);

  const decimal_number small = decimal("00", "00120");
  EXPECT_EQ(kept(small), "120");
  EXPECT_EQ(small.exponent, -5);

  const std::string forty_five(45, '7');
  const decimal_number before = decimal(forty_five);
  EXPECT_EQ(kept(before), forty_five.substr(0, 40));
  EXPECT_EQ(before.exponent, 5);  // the digits beyond only scale the value

  const decimal_number after = decimal("", forty_five);
  EXPECT_EQ(kept(after), forty_five.substr(0, 40));
  EXPECT_EQ(after.exponent, -40);  // the digits beyond are ignored
}

TEST(NumberScan, HugeAndTinyRealsKeepTheirSign) {
  decimal_number n = decimal("1");
  n.add_exponent(max_exponent_field);
  EXPECT_EQ(to_real(n), std::numeric_limits<float>::infinity());
  n.add_exponent(-2 * max_exponent_field);
  n.negative = true;
  const float tiny = to_real(n);
  EXPECT_EQ(tiny, 0.0f);
  EXPECT_TRUE(std::signbit(tiny));
}

}  // namespace
}  // namespace sitewave::textfmt
