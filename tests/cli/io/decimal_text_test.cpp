// The clean files' numbers: every value gives exactly the text of the
// general conversion with 9 significant digits, over magnitudes from the
// smallest to the largest and over the values single-precision results take.
#include "cli/io/decimal_text.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace sitewave::cli {
namespace {

std::string reference(double v) {
  char buf[64];
  return std::string(buf,
                     std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 9).ptr);
}

// Not-a-number is "nan" whatever its sign bit; everything else as the
// general conversion writes it.
std::string reference_or_nan(double v) {
  return std::isnan(v) ? "nan" : reference(v);
}

std::string fast(double v) {
  char buf[max_decimal_text];
  return std::string(buf, decimal_text(v, buf));
}

TEST(DecimalText, EdgeValuesMatchTheGeneralConversion) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  for (const double v : {0.0,           -0.0,          1.0,
                         -1.0,          0.1,           1e-5,
                         9.99999999e-5, 1e-4,          123456789.0,
                         999999999.4,   999999999.5,   999999999.6,
                         1e9,           1.5,           2.5,
                         1234567.125,   0.00610351576, 1e300,
                         1e-300,        5e-324,        1.7976931348623157e308,
                         inf,           -inf,          std::numeric_limits<double>::quiet_NaN(),
                         100.0,         1e8,           12345678.95}) {
    EXPECT_EQ(fast(v), reference_or_nan(v)) << v;
  }
}

TEST(DecimalText, RandomDoublesAndFloatsMatchTheGeneralConversion) {
  std::mt19937_64 random(20261208);
  std::uniform_real_distribution<double> exponent(-30.0, 30.0);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  for (int i = 0; i < 1000000; ++i) {
    const double v =
        (i % 2 ? 1.0 : -1.0) * mantissa(random) * std::pow(10.0, std::floor(exponent(random)));
    ASSERT_EQ(fast(v), reference_or_nan(v)) << v;
    const double f = static_cast<float>(v);
    ASSERT_EQ(fast(f), reference(f)) << f;
  }
  // Any bit pattern, whatever its magnitude.
  for (int i = 0; i < 300000; ++i) {
    const double v = std::bit_cast<double>(random());
    ASSERT_EQ(fast(v), reference_or_nan(v)) << v;
  }
}

TEST(DecimalText, SinglesTakeTheFewestDigitsThatReadBack) {
  for (const float v : {0.02f, 0.0199999996f, 1e-5f, 3.4e38f, -0.1f, 16777217.0f}) {
    char buf[max_decimal_text];
    const std::string text(buf, single_text(v, buf));
    EXPECT_EQ(std::strtof(text.c_str(), nullptr), v) << text;
    EXPECT_LE(text.size(), 14u) << text;
  }
  char buf[max_decimal_text];
  EXPECT_EQ(std::string(buf, single_text(0.02f, buf)), "0.02");
  EXPECT_EQ(std::string(buf, single_text(-std::numeric_limits<float>::quiet_NaN(), buf)), "nan");
}

TEST(DecimalText, DecimalTiesRoundToEven) {
  // Values whose tenth significant digit is an exact 5 in binary.
  for (const double v : {1234567.125, 1234567.375, 0.1234567125, 8589934.5, 17179869.25}) {
    EXPECT_EQ(fast(v), reference_or_nan(v)) << v;
  }
}

}  // namespace
}  // namespace sitewave::cli
