// Numbers in a list-directed read: the grammar of signs, points and
// exponents, integers truncated exactly and kept to 32 bits, reals rounded
// through double precision, and the inputs that are no number at all.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "dialogue/textio/list_read.hpp"
#include "list_read_input.hpp"

namespace sitewave::textio::test {
namespace {

float real_from(const std::string& input) {
  input_file in(input + "\n");
  float x = -999.0f;
  read_list(in.unit(), x);
  return x;
}

int integer_from(const std::string& input) {
  input_file in(input + "\n");
  int i = -999;
  read_list(in.unit(), i);
  return i;
}

TEST(ListReadNumber, ExponentFormsAgree) {
  const float expected = 1.5e-3f;
  for (const char* input : {"1.5E-3", "1.5e-3", "1.5D-3", "1.5d-3", "1.5-3", "+15.-4", "0.0015"}) {
    EXPECT_EQ(real_from(input), expected) << input;
  }
  EXPECT_EQ(real_from("2+3"), 2000.0f);
  EXPECT_EQ(real_from(".5"), 0.5f);
  EXPECT_EQ(real_from("-5."), -5.0f);
  EXPECT_TRUE(std::signbit(real_from("-0")));
}

TEST(ListReadNumber, IntegersAreTruncatedExactly) {
  EXPECT_EQ(integer_from("-7"), -7);
  EXPECT_EQ(integer_from("+0007"), 7);
  EXPECT_EQ(integer_from("12-1"), 1);
  EXPECT_EQ(integer_from("-19-1"), -1);
  EXPECT_EQ(integer_from("12+1"), 120);
  EXPECT_EQ(integer_from("5-99999999"), 0);
  EXPECT_EQ(integer_from("2147483647"), 2147483647);
  EXPECT_EQ(integer_from("-2147483648"), -2147483647 - 1);
  // A double would round these up past the 32-bit range.
  EXPECT_EQ(integer_from("21474836479999999-7"), 2147483647);
  EXPECT_EQ(integer_from("-21474836489999999-7"), -2147483647 - 1);
  // Digits beyond the 40th only scale the value: 1 and 44 zeros, times 1e-40.
  EXPECT_EQ(integer_from("1" + std::string(44, '0') + "-40"), 10000);
}

TEST(ListReadNumber, IntegerOutOfRangeOrWithFractionFails) {
  for (const char* input : {"2.5", "2E3", "2e3", "2d3", ".5", "2147483648", "-2147483649",
                            "-21474836499-1", "99999999999999999999999"}) {
    input_file in(std::string(input) + "\n", connected::in_child);
    int i = 0;
    EXPECT_RUN_ENDS(in, read_list(in.unit(), i), "invalid integer: read unexpected character")
        << input;
  }
}

TEST(ListReadNumber, MalformedExponentFails) {
  for (const char* input : {"1.5E,", "1.5E", "1.5E+ 3", "1-,", "2d", "1E100000000", "1E-123456789",
                            "1E99999999999999999999999"}) {
    input_file in(std::string(input) + "\n", connected::in_child);
    float x = 0;
    EXPECT_RUN_ENDS(in, read_list(in.unit(), x), "exponent field: incomprehensible list input")
        << input;
  }
  EXPECT_EQ(real_from("1E00000000000000000001"), 10.0f);  // leading zeros are no excess
}

TEST(ListReadNumber, WhatIsNoNumberFails) {
  for (const char* input : {"x", "NaN", "Infinity", "inf", "- 5", "+.", ".E5", "e5", "2**"}) {
    input_file in(std::string(input) + "\n", connected::in_child);
    float x = 0;
    EXPECT_RUN_ENDS(in, read_list(in.unit(), x), "invalid number: incomprehensible list input")
        << input;
  }
  input_file title("time,H1,H2,V1\n", connected::in_child);
  float x = 0;
  EXPECT_RUN_ENDS(title, read_list(title.unit(), x), "invalid number: incomprehensible list input");
}

TEST(ListReadNumber, SignOrPointAloneBeforeSeparatorIsNull) {
  input_file in("-,+/\n.,4\n");
  float x = 1, y = 2;
  read_list(in.unit(), x, y);
  EXPECT_EQ(x, 1.0f);
  EXPECT_EQ(y, 2.0f);
  read_list(in.unit(), x, y);
  EXPECT_EQ(x, 1.0f);
  EXPECT_EQ(y, 4.0f);
}

TEST(ListReadNumber, TextAfterTheLastValueIsNeverExamined) {
  EXPECT_EQ(real_from("12.5 m"), 12.5f);
  EXPECT_EQ(real_from("12.5m"), 12.5f);
  EXPECT_EQ(integer_from("7x"), 7);
  input_file in("12.5 m\n", connected::in_child);
  float x = 0, y = 0;
  EXPECT_RUN_ENDS(in, read_list(in.unit(), x, y), "invalid number: incomprehensible list input");
}

TEST(ListReadNumber, RealsRoundThroughDouble) {
  EXPECT_EQ(real_from("0.1"), 0.1f);
  // 1 + 2^-24 lies halfway between two floats. Just above it, but within half
  // a double step, the double is that halfway point and then rounds to even.
  EXPECT_EQ(real_from("1.00000005960464478"), 1.0f);
  EXPECT_EQ(real_from("1.000000059604644775390625"), 1.0f);
  EXPECT_EQ(real_from("1.0000000596046449"), std::nextafter(1.0f, 2.0f));
  EXPECT_EQ(real_from("1.4E-45"), std::nextafter(0.0f, 1.0f));
  EXPECT_EQ(real_from("3.40282347E38"), 3.40282347E38f);
}

TEST(ListReadNumber, NineDigitsGiveEveryFloatBack) {
  std::mt19937 bits(20240611);
  std::uniform_real_distribution<double> exponent(-40.0, 38.0);
  std::string content;
  std::vector<float> values;
  for (int k = 0; k < 5000; ++k) {
    const double magnitude = std::pow(10.0, exponent(bits));
    const float value = static_cast<float>(k % 2 == 0 ? magnitude : -magnitude);
    values.push_back(value);
    char spelled[32];
    std::snprintf(spelled, sizeof spelled, k % 3 == 0 ? "%.8E\n" : "%.9G\n",
                  static_cast<double>(value));
    content += spelled;
  }
  input_file in(content);
  for (const float expected : values) {
    float x = 0;
    read_list(in.unit(), x);
    ASSERT_EQ(x, expected);
  }
}

}  // namespace
}  // namespace sitewave::textio::test
